// The items of a list box or of a combo box's list: texts with their item data and selection, in
// insertion order or sorted, and the documented search rules of both controls.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace tovarin::gwes::controls {

struct ListItem {
    std::wstring text;
    ULONG_PTR data = 0;
    bool selected = false;  // multiple-selection lists only
};

class ItemList {
  public:
    static constexpr int kNone = -1;

    explicit ItemList(bool sorted = false) : sorted_(sorted) {}
    void set_sorted(bool sorted) { sorted_ = sorted; }

    int count() const { return static_cast<int>(items_.size()); }
    bool Valid(int index) const { return index >= 0 && index < count(); }
    const ListItem& at(int index) const { return items_[static_cast<size_t>(index)]; }
    ListItem& at(int index) { return items_[static_cast<size_t>(index)]; }

    // Where a sorted list puts the text (after equal ones), or the end of an unsorted one.
    int Add(std::wstring text);
    // At `index`, or at the end for -1; kNone when the index is past the end.
    int Insert(int index, std::wstring text);
    // The count left, or kNone for an index that is not there.
    int Delete(int index);
    void Clear() { items_.clear(); }

    // The first item after `start` (the whole list from the top for -1 or an index that is not
    // there) whose text begins with `prefix` (FindPrefix) or is `text` (FindExact), both without
    // regard to case, going on from the top after the end and stopping at `start`. kNone if none.
    int FindPrefix(int start, std::wstring_view prefix) const;
    int FindExact(int start, std::wstring_view text) const;

  private:
    template <typename Match>
    int Search(int start, Match match) const;

    std::vector<ListItem> items_;
    bool sorted_;
};

}  // namespace tovarin::gwes::controls
