#include "shell/shell_text.h"

#include <cwchar>

namespace tovarin::emulator::phone_shell {

void DrawShellLine(HDC dc, const std::wstring& text, RECT place, int height, bool bold,
                   COLORREF colour, UINT align) {
    LOGFONTW look{};
    look.lfHeight = -height;
    look.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    std::wcscpy(look.lfFaceName, L"Tahoma");
    HFONT font = CreateFontIndirectW(&look);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), -1, &place,
              align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, previous);
    DeleteObject(reinterpret_cast<HGDIOBJ>(font));
}

void TellParentOfTap(HWND child) {
    PostMessageW(GetParent(child), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                 reinterpret_cast<LPARAM>(child));
}

}  // namespace tovarin::emulator::phone_shell
