// The nodes behind one document object.
//
// pugixml keeps every node inside one xml_document and frees a node when it is removed, while a
// DOM node lives as long as somebody holds it, in the document or not. So the store holds two
// hidden elements: `content`, whose children are the document's children, and `detached`, under
// which nodes wait while they are outside the document (created and not inserted yet, or
// removed). Moving a node between them keeps its identity. A detached subtree is freed once no
// node object refers into it.
//
// Each node has at most one node object at a time; the tree maps nodes to their objects and back
// (the objects register themselves and unregister when they die).
#pragma once

#include <msxml2.h>
#include <pugixml.hpp>

#include <unordered_map>

namespace tovarin::com::xml {

class DomTree {
  public:
    DomTree();
    DomTree(const DomTree&) = delete;
    DomTree& operator=(const DomTree&) = delete;

    // The node that stands for the document itself.
    pugi::xml_node content() const { return content_; }
    bool IsDocumentNode(pugi::xml_node node) const { return node == content_; }
    // Outside the document: a node waiting under the detached holder has no parent and no
    // siblings.
    bool IsDetachedRoot(pugi::xml_node node) const { return node.parent() == detached_; }
    // The DOM parent of node: empty for the document and for detached roots.
    pugi::xml_node ParentOf(pugi::xml_node node) const;

    // A new node of the given type outside the document.
    pugi::xml_node CreateDetached(pugi::xml_node_type type);
    // Takes node out of its parent; it stays valid until nothing refers into it.
    void Detach(pugi::xml_node node);
    // Detaches every child of node.
    void DetachChildren(pugi::xml_node node);
    // Replaces the document's children by copies of the children of source.
    void ReplaceContent(const pugi::xml_node& source);

    // The object registered for node, or nullptr.
    IXMLDOMNode* ObjectFor(pugi::xml_node node) const;
    // The node whose object this is: empty for anything not registered in this tree (a node of
    // another document, a foreign object).
    pugi::xml_node NodeOf(const IXMLDOMNode* object) const;
    void Register(pugi::xml_node node, IXMLDOMNode* object);
    // Called when a node object dies; frees the detached subtrees nobody refers into any more.
    void Unregister(pugi::xml_node node);

  private:
    bool IsReferencedInto(pugi::xml_node root) const;
    void FreeUnreferencedDetached();

    pugi::xml_document store_;
    pugi::xml_node content_;
    pugi::xml_node detached_;
    std::unordered_map<pugi::xml_node_struct*, IXMLDOMNode*> objects_;
    std::unordered_map<const IXMLDOMNode*, pugi::xml_node_struct*> nodes_;
};

}  // namespace tovarin::com::xml
