#include "com/xml/dom_tree.h"

#include <vector>

namespace tovarin::com::xml {

DomTree::DomTree()
    : content_(store_.append_child("content")), detached_(store_.append_child("detached")) {}

pugi::xml_node DomTree::ParentOf(pugi::xml_node node) const {
    if (node == content_ || node.parent() == detached_) {
        return {};
    }
    return node.parent();
}

pugi::xml_node DomTree::CreateDetached(pugi::xml_node_type type) {
    return detached_.append_child(type);
}

void DomTree::Detach(pugi::xml_node node) {
    detached_.append_move(node);
    FreeUnreferencedDetached();
}

void DomTree::DetachChildren(pugi::xml_node node) {
    while (pugi::xml_node child = node.first_child()) {
        detached_.append_move(child);
    }
    FreeUnreferencedDetached();
}

void DomTree::ReplaceContent(const pugi::xml_node& source) {
    DetachChildren(content_);
    for (pugi::xml_node child : source.children()) {
        content_.append_copy(child);
    }
}

IXMLDOMNode* DomTree::ObjectFor(pugi::xml_node node) const {
    const auto found = objects_.find(node.internal_object());
    return found == objects_.end() ? nullptr : found->second;
}

pugi::xml_node DomTree::NodeOf(const IXMLDOMNode* object) const {
    const auto found = nodes_.find(object);
    return found == nodes_.end() ? pugi::xml_node() : pugi::xml_node(found->second);
}

void DomTree::Register(pugi::xml_node node, IXMLDOMNode* object) {
    objects_[node.internal_object()] = object;
    nodes_[object] = node.internal_object();
}

void DomTree::Unregister(pugi::xml_node node) {
    const auto found = objects_.find(node.internal_object());
    if (found == objects_.end()) {
        return;
    }
    nodes_.erase(found->second);
    objects_.erase(found);
    FreeUnreferencedDetached();
}

bool DomTree::IsReferencedInto(pugi::xml_node root) const {
    if (objects_.empty()) {
        return false;
    }
    if (objects_.contains(root.internal_object())) {
        return true;
    }
    for (pugi::xml_node node = root.first_child(); node && node != root;) {
        if (objects_.contains(node.internal_object())) {
            return true;
        }
        // Depth-first without recursion: down, else along, else up and along.
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != root && !node.next_sibling()) {
            node = node.parent();
        }
        if (node != root) {
            node = node.next_sibling();
        }
    }
    return false;
}

void DomTree::FreeUnreferencedDetached() {
    std::vector<pugi::xml_node> unreferenced;
    for (pugi::xml_node root : detached_.children()) {
        if (!IsReferencedInto(root)) {
            unreferenced.push_back(root);
        }
    }
    for (pugi::xml_node root : unreferenced) {
        detached_.remove_child(root);
    }
}

}  // namespace tovarin::com::xml
