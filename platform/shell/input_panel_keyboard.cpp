#include "shell/input_panel_keyboard.h"

#include <mutex>
#include <string_view>

#include "gwes/controls/control_paint.h"
#include "host/device.h"
#include "host/screen.h"
#include "host/window_tree.h"

namespace tovarin::shell {
namespace {

// The rows, top down; the last row ends in the space bar, the third in the backspace.
constexpr std::wstring_view kRows[] = {L"1234567890", L"qwertyuiop", L"asdfghjkl\b", L"zxcvbnm "};
constexpr int kRowCount = 4;
constexpr int kColumns = 10;
constexpr int kKeyGap = 4;
constexpr COLORREF kPanelColour = RGB(0xB8, 0xC4, 0xD8);
constexpr COLORREF kKeyFaceColour = RGB(0xE8, 0xE8, 0xE8);
constexpr COLORREF kKeyBorderColour = RGB(0x40, 0x40, 0x40);

struct KeyboardOfDevice {
    std::mutex mutex;
    const kernel::Device* device = nullptr;
    HWND window = nullptr;
};

KeyboardOfDevice& Keyboard() {
    static KeyboardOfDevice keyboard;
    return keyboard;
}

// The keyboard's window of the device that is up, when it still exists. Mutex held.
HWND& CurrentWindow(KeyboardOfDevice& keyboard) {
    const kernel::Device* device = &kernel::Device::Current();
    if (keyboard.device != device) {
        keyboard.device = device;
        keyboard.window = nullptr;
    }
    if (keyboard.window != nullptr && !IsWindow(keyboard.window)) {
        keyboard.window = nullptr;  // its thread ended
    }
    return keyboard.window;
}

// A key's place in the client area: ten columns, the space bar three columns wide.
RECT KeyRect(const RECT& client, int row, int column) {
    const int width = (client.right - client.left) / kColumns;
    const int span = (row == kRowCount - 1 && kRows[row][column] == L' ') ? 3 : 1;
    const int left = client.left + column * width + kKeyGap / 2;
    const int top = client.top + row * kKeyboardKeyHeight + kKeyGap / 2;
    return RECT{left, top, left + span * width - kKeyGap, top + kKeyboardKeyHeight - kKeyGap};
}

const wchar_t* KeyLabel(wchar_t key, wchar_t* buffer) {
    if (key == L'\b') {
        return L"\u2190";
    }
    if (key == L' ') {
        return L"пробел";
    }
    buffer[0] = key;
    buffer[1] = L'\0';
    return buffer;
}

void PaintKeyboard(HWND hwnd) {
    gwes::controls::PaintScope paint(hwnd);
    HDC dc = paint.dc();
    const RECT& client = paint.client();
    gwes::controls::FillColor(dc, client, kPanelColour);
    for (int row = 0; row < kRowCount; ++row) {
        for (int column = 0; column < static_cast<int>(kRows[row].size()); ++column) {
            const RECT key = KeyRect(client, row, column);
            gwes::controls::FillColor(dc, key, kKeyFaceColour);
            gwes::controls::FrameColor(dc, key, kKeyBorderColour, 1);
            wchar_t buffer[2] = {};
            gwes::controls::DrawControlText(dc, hwnd, KeyLabel(kRows[row][column], buffer), key,
                                            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
                                            GetSysColor(COLOR_BTNTEXT));
        }
    }
}

LRESULT CALLBACK KeyboardProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT:
            PaintKeyboard(hwnd);
            return 0;
        case WM_LBUTTONUP: {
            const POINT point{static_cast<SHORT>(LOWORD(lparam)),
                              static_cast<SHORT>(HIWORD(lparam))};
            const wchar_t key = KeyboardKeyAt(hwnd, point);
            HWND focus = gwes::FocusedWindow();
            if (key != 0 && focus != nullptr) {
                PostMessageW(focus, WM_CHAR, static_cast<WPARAM>(key), 1);
            }
            return 0;
        }
        case WM_DESTROY: {
            KeyboardOfDevice& keyboard = Keyboard();
            std::lock_guard guard(keyboard.mutex);
            if (keyboard.window == hwnd) {
                keyboard.window = nullptr;
            }
            return 0;
        }
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

bool EnsureClass() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &KeyboardProc;
    window_class.lpszClassName = kKeyboardClass;
    if (RegisterClassW(&window_class)) {
        return true;
    }
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;  // registered on this device before
}

}  // namespace

HWND ToggleKeyboard() {
    HWND shown = nullptr;
    {
        KeyboardOfDevice& keyboard = Keyboard();
        std::lock_guard guard(keyboard.mutex);
        shown = CurrentWindow(keyboard);
    }
    if (shown != nullptr) {
        DestroyWindow(shown);
        return nullptr;
    }
    if (!EnsureClass()) {
        return nullptr;
    }
    // Across the screen, its bottom on the menu bar's top.
    const RECT bar = gwes::MenuBarArea();
    const int height = kRowCount * kKeyboardKeyHeight + kKeyGap;
    HWND window = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOPMOST, kKeyboardClass, L"Ввод",
                                  WS_POPUP | WS_VISIBLE, bar.left, bar.top - height,
                                  bar.right - bar.left, height, nullptr, nullptr, nullptr, nullptr);
    KeyboardOfDevice& keyboard = Keyboard();
    std::lock_guard guard(keyboard.mutex);
    CurrentWindow(keyboard) = window;
    return window;
}

HWND ShownKeyboard() {
    KeyboardOfDevice& keyboard = Keyboard();
    std::lock_guard guard(keyboard.mutex);
    return CurrentWindow(keyboard);
}

wchar_t KeyboardKeyAt(HWND keyboard, POINT point) {
    RECT client{};
    GetClientRect(keyboard, &client);
    for (int row = 0; row < kRowCount; ++row) {
        for (int column = 0; column < static_cast<int>(kRows[row].size()); ++column) {
            const RECT key = KeyRect(client, row, column);
            if (PtInRect(&key, point)) {
                return kRows[row][column];
            }
        }
    }
    return 0;
}

}  // namespace tovarin::shell
