#include "console/list_items.h"

#include "host/text.h"

namespace tovarin::emulator::console {

std::string Quoted(const std::wstring& text) {
    return "\"" + kernel::WideToUtf8(text) + "\"";
}

std::wstring ItemText(HWND hwnd, const ListMessages& list, LRESULT index) {
    const LRESULT length = SendMessageW(hwnd, list.text_length, static_cast<WPARAM>(index), 0);
    if (length < 0) {
        return L"";
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(hwnd, list.text, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

std::vector<std::wstring> ItemsOf(HWND hwnd, const ListMessages& list) {
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(hwnd, list.count, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        items.push_back(ItemText(hwnd, list, index));
    }
    return items;
}

std::vector<std::string> QuotedItemsOf(HWND list_box) {
    std::vector<std::string> quoted;
    for (const std::wstring& item : ItemsOf(list_box, kListBoxMessages)) {
        quoted.push_back(Quoted(item));
    }
    return quoted;
}

}  // namespace tovarin::emulator::console
