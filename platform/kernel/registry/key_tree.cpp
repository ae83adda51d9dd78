#include "kernel/registry/key_tree.h"

#include <algorithm>

#include "kernel/strings/text_case.h"

namespace tovarin::kernel::registry {

KeyNode::~KeyNode() {
    std::vector<std::shared_ptr<KeyNode>> pending = std::move(subkeys);
    index_.clear();
    while (!pending.empty()) {
        std::shared_ptr<KeyNode> node = std::move(pending.back());
        pending.pop_back();
        // A key that an open handle still holds keeps its own subtree.
        if (node.use_count() == 1) {
            for (auto& child : node->subkeys) {
                pending.push_back(std::move(child));
            }
            node->subkeys.clear();
            node->index_.clear();
        }
    }
}

KeyNode* KeyNode::FindSubkey(std::wstring_view key_name) const {
    auto found = index_.find(FoldText(key_name));
    return found == index_.end() ? nullptr : found->second.get();
}

KeyNode* KeyNode::FindOrAddSubkey(std::wstring_view key_name, bool* created) {
    if (KeyNode* existing = FindSubkey(key_name)) {
        *created = false;
        return existing;
    }
    auto child = std::make_shared<KeyNode>();
    child->name = std::wstring(key_name);
    child->parent = this;
    subkeys.push_back(child);
    index_.emplace(FoldText(key_name), child);
    *created = true;
    return child.get();
}

std::shared_ptr<KeyNode> KeyNode::SharedSubkey(const KeyNode* child) const {
    auto found = index_.find(FoldText(child->name));
    return found != index_.end() && found->second.get() == child ? found->second : nullptr;
}

void KeyNode::RemoveSubkey(const KeyNode* child) {
    auto found = index_.find(FoldText(child->name));
    if (found == index_.end() || found->second.get() != child) {
        return;
    }
    std::erase(subkeys, found->second);
    index_.erase(found);
}

void KeyNode::ClearSubkeys() {
    subkeys.clear();
    index_.clear();
}

size_t KeyNode::Depth() const {
    size_t depth = 0;
    for (const KeyNode* current = this; current->parent; current = current->parent) {
        ++depth;
    }
    return depth;
}

RegValue* KeyNode::FindValue(std::wstring_view value_name) {
    for (RegValue& value : values) {
        if (TextsEqualIgnoringCase(value.name, value_name)) {
            return &value;
        }
    }
    return nullptr;
}

const RegValue* KeyNode::FindValue(std::wstring_view value_name) const {
    return const_cast<KeyNode*>(this)->FindValue(value_name);
}

bool KeyNode::EraseValue(std::wstring_view value_name) {
    auto it = std::find_if(values.begin(), values.end(), [&](const RegValue& value) {
        return TextsEqualIgnoringCase(value.name, value_name);
    });
    if (it == values.end()) {
        return false;
    }
    values.erase(it);
    return true;
}

std::vector<std::wstring_view> SplitKeyPath(std::wstring_view path) {
    std::vector<std::wstring_view> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring_view::npos) {
            end = path.size();
        }
        if (end > start) {
            parts.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

std::vector<std::wstring> PathOf(const KeyNode& node) {
    std::vector<std::wstring> path;
    for (const KeyNode* current = &node; current && current->parent; current = current->parent) {
        path.push_back(current->name);
    }
    std::reverse(path.begin(), path.end());
    return path;
}

KeyNode* FindPath(KeyNode& start, const std::vector<std::wstring_view>& path) {
    KeyNode* current = &start;
    for (std::wstring_view part : path) {
        current = current->FindSubkey(part);
        if (!current) {
            return nullptr;
        }
    }
    return current;
}

void DeleteSubtree(KeyNode& node) {
    // Every node of the subtree stays alive until all are marked, whatever handles exist.
    std::vector<std::shared_ptr<KeyNode>> doomed;
    if (node.parent) {
        doomed.push_back(node.parent->SharedSubkey(&node));
        node.parent->RemoveSubkey(&node);
    }
    ForEachKey(node, [&](KeyNode& key) {
        for (const auto& child : key.subkeys) {
            doomed.push_back(child);
        }
    });
    ForEachKey(node, [](KeyNode& key) { key.deleted = true; });
    for (const auto& key : doomed) {
        key->parent = nullptr;
        key->values.clear();
        key->ClearSubkeys();
    }
    node.parent = nullptr;
    node.values.clear();
    node.ClearSubkeys();
}

namespace {

template <typename Path>
bool IsVolatile(const Path& path) {
    return path.size() >= 2 && TextsEqualIgnoringCase(path[0], L"System") &&
           TextsEqualIgnoringCase(path[1], L"State");
}

}  // namespace

bool IsVolatilePath(const std::vector<std::wstring>& path) {
    return IsVolatile(path);
}
bool IsVolatilePath(const std::vector<std::wstring_view>& path) {
    return IsVolatile(path);
}

}  // namespace tovarin::kernel::registry
