// GetSysColor and GetSysColorBrush over the default theme's colours.
#include "gwes/gdi/sys_colors.h"

#include "gwes/gdi/gdi_objects.h"
#include "gwes/window_manager.h"
#include "kernel/handles.h"

namespace tovarin::gwes {
namespace {

// White windows with black text, the theme's dark blue bars and its blue selection.
constexpr COLORREF kColors[C_SYS_COLORS] = {
    RGB(0xC0, 0xC0, 0xC0),  // COLOR_SCROLLBAR
    RGB(0xFF, 0xFF, 0xFF),  // COLOR_BACKGROUND
    RGB(0x1C, 0x3C, 0x78),  // COLOR_ACTIVECAPTION
    RGB(0x0A, 0x24, 0x50),  // COLOR_INACTIVECAPTION
    RGB(0xFF, 0xFF, 0xFF),  // COLOR_MENU
    RGB(0xFF, 0xFF, 0xFF),  // COLOR_WINDOW
    RGB(0x00, 0x00, 0x00),  // COLOR_WINDOWFRAME
    RGB(0x00, 0x00, 0x00),  // COLOR_MENUTEXT
    RGB(0x00, 0x00, 0x00),  // COLOR_WINDOWTEXT
    RGB(0xFF, 0xFF, 0xFF),  // COLOR_CAPTIONTEXT
    RGB(0xC0, 0xC0, 0xC0),  // COLOR_ACTIVEBORDER
    RGB(0xC0, 0xC0, 0xC0),  // COLOR_INACTIVEBORDER
    RGB(0xC0, 0xC0, 0xC0),  // COLOR_APPWORKSPACE
    RGB(0x31, 0x6A, 0xC5),  // COLOR_HIGHLIGHT
    RGB(0xFF, 0xFF, 0xFF),  // COLOR_HIGHLIGHTTEXT
    RGB(0xDC, 0xDC, 0xDC),  // COLOR_BTNFACE
    RGB(0x80, 0x80, 0x80),  // COLOR_BTNSHADOW
    RGB(0xA0, 0xA0, 0xA0),  // COLOR_GRAYTEXT
    RGB(0x00, 0x00, 0x00),  // COLOR_BTNTEXT
    RGB(0xC0, 0xC0, 0xC0),  // COLOR_INACTIVECAPTIONTEXT
    RGB(0xFF, 0xFF, 0xFF),  // COLOR_BTNHIGHLIGHT
    RGB(0x40, 0x40, 0x40),  // COLOR_3DDKSHADOW
    RGB(0xE8, 0xE8, 0xE8),  // COLOR_3DLIGHT
    RGB(0x00, 0x00, 0x00),  // COLOR_INFOTEXT
    RGB(0xFF, 0xFF, 0xE1),  // COLOR_INFOBK
    RGB(0xFF, 0xFF, 0xFF),  // COLOR_STATIC
    RGB(0x00, 0x00, 0x00),  // COLOR_STATICTEXT
    RGB(0x1C, 0x3C, 0x78),  // COLOR_GRADIENTACTIVECAPTION
    RGB(0x0A, 0x24, 0x50),  // COLOR_GRADIENTINACTIVECAPTION
};

}  // namespace

std::optional<int> SysColorIndex(int value) {
    const int index = value & ~SYS_COLOR_INDEX_FLAG;
    if (index < 0 || index >= C_SYS_COLORS) {
        return std::nullopt;
    }
    return index;
}

COLORREF SysColor(int index) {
    return kColors[index];
}

std::optional<int> SysColorOfClassBrush(HBRUSH brush) {
    const auto value = static_cast<intptr_t>(reinterpret_cast<uintptr_t>(brush));
    if (value <= 0 || value > (SYS_COLOR_INDEX_FLAG | C_SYS_COLORS)) {
        return std::nullopt;
    }
    if (value > C_SYS_COLORS && !(value & SYS_COLOR_INDEX_FLAG)) {
        return std::nullopt;
    }
    return SysColorIndex(static_cast<int>(value - 1));
}

}  // namespace tovarin::gwes

using namespace tovarin::gwes;

extern "C" {

DWORD WINAPI GetSysColor(int nIndex) {
    std::optional<int> index = SysColorIndex(nIndex);
    return index ? SysColor(*index) : 0;
}

HBRUSH WINAPI GetSysColorBrush(int nIndex) {
    std::optional<int> index = SysColorIndex(nIndex);
    if (!index) {
        tovarin::kernel::SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    return gdi.SysColorBrush(*index);
}

}  // extern "C"
