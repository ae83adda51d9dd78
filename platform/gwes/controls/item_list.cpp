#include "gwes/controls/item_list.h"

#include <algorithm>

#include <windows.h>

#include "gwes/controls/text_compare.h"

namespace tovarin::gwes::controls {

int ItemList::Add(std::wstring text) {
    auto where = items_.end();
    if (sorted_) {
        where = std::upper_bound(items_.begin(), items_.end(), text,
                                 [](const std::wstring& value, const ListItem& item) {
                                     // Sorted as the user's language orders words ("Ёлка"
                                     // between "Берег" and "Лес"), not by character codes.
                                     return lstrcmpiW(value.c_str(), item.text.c_str()) < 0;
                                 });
    }
    where = items_.insert(where, ListItem{.text = std::move(text)});
    return static_cast<int>(where - items_.begin());
}

int ItemList::Insert(int index, std::wstring text) {
    if (index == -1) {
        index = count();
    }
    if (index < 0 || index > count()) {
        return kNone;
    }
    items_.insert(items_.begin() + index, ListItem{.text = std::move(text)});
    return index;
}

int ItemList::Delete(int index) {
    if (!Valid(index)) {
        return kNone;
    }
    items_.erase(items_.begin() + index);
    return count();
}

template <typename Match>
int ItemList::Search(int start, Match match) const {
    const int total = count();
    if (total == 0) {
        return kNone;
    }
    if (!Valid(start)) {
        start = -1;
    }
    for (int step = 1; step <= total; ++step) {
        const int index = (start + step) % total;
        if (match(at(index).text)) {
            return index;
        }
    }
    return kNone;
}

int ItemList::FindPrefix(int start, std::wstring_view prefix) const {
    return Search(start, [&](const std::wstring& text) { return StartsWithNoCase(text, prefix); });
}

int ItemList::FindExact(int start, std::wstring_view text) const {
    return Search(start, [&](const std::wstring& item) { return CompareNoCase(item, text) == 0; });
}

}  // namespace tovarin::gwes::controls
