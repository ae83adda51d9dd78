// A sheet page of fifteen controls (labels, check boxes, edits, drop-down lists, a list box, a
// trackbar and a list view) as a template in memory, for the user-interface benchmarks.
#pragma once

#include <string_view>
#include <vector>

#include <commctrl.h>
#include <windows.h>

namespace tovarin::bench {

// A dialog template in memory, as the resource compiler writes one (DIALOG
// layout).
class TemplateWriter {
  public:
    TemplateWriter(DWORD style, int items) {
        DLGTEMPLATE header{style, 0, static_cast<WORD>(items), 0, 0, 240, 200};
        Append(&header, sizeof(header));
        Words({0, 0, 0});  // no menu, the dialog class, no caption
    }

    void Item(WORD atom, std::wstring_view class_name, DWORD style, WORD id, short y,
              std::wstring_view text) {
        Align();
        DLGITEMTEMPLATE item{
            static_cast<DWORD>(WS_CHILD | WS_VISIBLE | style), 0, 4, y, 200, 12, id};
        Append(&item, sizeof(item));
        if (atom) {
            Words({0xFFFF, atom});
        } else {
            String(class_name);
        }
        String(text);
        Words({0});  // no creation data
    }

    std::vector<BYTE> Take() {
        Align();
        return std::move(bytes_);
    }

  private:
    void Append(const void* data, size_t size) {
        const auto* begin = static_cast<const BYTE*>(data);
        bytes_.insert(bytes_.end(), begin, begin + size);
    }
    void Words(std::initializer_list<WORD> words) {
        for (WORD word : words) {
            Append(&word, 2);
        }
    }
    void String(std::wstring_view text) {
        for (wchar_t c : text) {
            Words({static_cast<WORD>(c)});
        }
        Words({0});
    }
    void Align() {
        while (bytes_.size() % 4) {
            bytes_.push_back(0);
        }
    }
    std::vector<BYTE> bytes_;
};

inline std::vector<BYTE> PageTemplate() {
    TemplateWriter writer(WS_CHILD | DS_CONTROL, 15);
    WORD id = 1000;
    short y = 4;
    auto next = [&]() {
        y = static_cast<short>(y + 13);
        return id++;
    };
    for (int i = 0; i < 4; ++i) {
        writer.Item(0x0082, {}, SS_LEFT, next(), y, L"Подпись");
    }
    for (int i = 0; i < 3; ++i) {
        writer.Item(0x0080, {}, BS_AUTOCHECKBOX | WS_TABSTOP, next(), y, L"Флажок");
    }
    for (int i = 0; i < 2; ++i) {
        writer.Item(0x0081, {}, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, next(), y, L"");
    }
    for (int i = 0; i < 3; ++i) {
        writer.Item(0x0085, {}, CBS_DROPDOWNLIST | WS_TABSTOP, next(), y, L"");
    }
    writer.Item(0x0083, {}, LBS_NOTIFY | WS_BORDER, next(), y, L"");
    writer.Item(0, L"msctls_trackbar32", TBS_NOTICKS, next(), y, L"");
    writer.Item(0, L"SysListView32", LVS_REPORT | LVS_NOCOLUMNHEADER, next(), y, L"");
    return writer.Take();
}

inline INT_PTR CALLBACK PageProc(HWND hwnd, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        for (int combo = 1009; combo < 1012; ++combo) {
            for (LPCWSTR item : {L"Нет", L"Эхо", L"Зал"}) {
                SendDlgItemMessageW(hwnd, combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
            }
            SendDlgItemMessageW(hwnd, combo, CB_SETCURSEL, 0, 0);
        }
        return TRUE;
    }
    return FALSE;
}

}  // namespace tovarin::bench
