// The registry's keys and values in memory: one tree per root. The tree is plain data; the
// Registry guards it with its lock.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tovarin::kernel::registry {

struct RegValue {
    std::wstring name;  // spelling as first written; empty: the key's default value
    uint32_t type = 0;
    std::vector<uint8_t> data;

    bool SameContent(const RegValue& other) const {
        return type == other.type && data == other.data;
    }
};

// The limits of the phone's registry: a key or value name holds at most 255 characters, and keys
// nest at most 16 levels below a root. A hive file beyond them is refused, and so is a call that
// would go beyond them (ERROR_INVALID_PARAMETER).
inline constexpr size_t kMaxNameLength = 255;
inline constexpr size_t kMaxKeyDepth = 16;

// Keys and values keep the order in which they were created, so that a saved hive lists them in
// the order a person wrote them; subkeys are found by name through an index.
struct KeyNode {
    std::wstring name;  // spelling as first created; empty for a root
    KeyNode* parent = nullptr;
    std::vector<std::shared_ptr<KeyNode>>
        subkeys;  // in creation order; change with the calls below
    std::vector<RegValue> values;
    bool deleted = false;

    KeyNode() = default;
    // Frees the subtree without recursion, so that no depth of tree can exhaust the stack.
    ~KeyNode();
    KeyNode(const KeyNode&) = delete;
    KeyNode& operator=(const KeyNode&) = delete;

    KeyNode* FindSubkey(std::wstring_view key_name) const;
    // Returns the subkey of that name, creating it when missing (*created tells which).
    KeyNode* FindOrAddSubkey(std::wstring_view key_name, bool* created);
    std::shared_ptr<KeyNode> SharedSubkey(const KeyNode* child) const;
    // Detaches one subkey or every subkey from this key (nothing else of them changes).
    void RemoveSubkey(const KeyNode* child);
    void ClearSubkeys();
    // Levels below the root: 0 for a root.
    size_t Depth() const;

    RegValue* FindValue(std::wstring_view value_name);
    const RegValue* FindValue(std::wstring_view value_name) const;
    // Erases the value; returns false when there was none.
    bool EraseValue(std::wstring_view value_name);

  private:
    // Subkeys by case-folded name.
    std::unordered_map<std::wstring, std::shared_ptr<KeyNode>> index_;
};

// Splits a key path as the phone takes it: backslash separators, an optional leading backslash.
// Empty components (a trailing or doubled backslash) are skipped.
std::vector<std::wstring_view> SplitKeyPath(std::wstring_view path);

// The names of the keys from the root down to the node (the root itself excluded).
std::vector<std::wstring> PathOf(const KeyNode& node);

// Walks the path down from start; nullptr when a key on the way is missing.
KeyNode* FindPath(KeyNode& start, const std::vector<std::wstring_view>& path);

// Calls visit for every key of the subtree, parents before children.
template <typename Node, typename Visit>
void ForEachKey(Node& node, Visit&& visit) {
    std::vector<Node*> pending{&node};
    while (!pending.empty()) {
        Node* current = pending.back();
        pending.pop_back();
        visit(*current);
        for (auto it = current->subkeys.rbegin(); it != current->subkeys.rend(); ++it) {
            pending.push_back(it->get());
        }
    }
}

// Detaches the subtree from its parent and marks every key in it deleted, dropping their values.
// Open handles keep their nodes alive and see them deleted.
void DeleteSubtree(KeyNode& node);

// Keys under "\System\State" of either root hold the phone's live state: they are never saved
// and never loaded from a hive file.
bool IsVolatilePath(const std::vector<std::wstring>& path);
bool IsVolatilePath(const std::vector<std::wstring_view>& path);

}  // namespace tovarin::kernel::registry
