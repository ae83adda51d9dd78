#include "web/check_offers.h"

#include <cwchar>

#include "console/list_items.h"
#include "console/ui_input.h"
#include "host/controls.h"
#include "web/touch_lines.h"

namespace tovarin::emulator::web {
namespace {

namespace controls = gwes::controls;

constexpr UINT kTbmGetPos = WM_USER;  // the trackbar's position

bool Is(HWND hwnd, const wchar_t* class_name) {
    wchar_t name[64]{};
    GetClassNameW(hwnd, name, 64);
    return wcscasecmp(name, class_name) == 0;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[512]{};
    GetWindowTextW(hwnd, text, 512);
    return text;
}

// Check boxes and radio buttons; a push button's BM_GETCHECK says nothing.
bool HasCheck(HWND button) {
    switch (GetWindowLongW(button, GWL_STYLE) & 0x0F) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_AUTORADIOBUTTON:
            return true;
        default:
            return false;
    }
}

// Every state of the control a line could check; those that do not hold are left out later.
std::vector<std::string> Candidates(HWND control, const std::string& name) {
    std::vector<std::string> states;
    const bool combo = Is(control, controls::kComboBoxClass);
    const bool list = Is(control, controls::kListBoxClass);
    if (!list && !TextOf(control).empty()) {
        states.push_back("text " + console::Quoted(TextOf(control)));
    }
    if (Is(control, controls::kButtonClass) && HasCheck(control)) {
        states.insert(states.end(), {"checked", "unchecked"});
    }
    states.insert(states.end(), {"enabled", "disabled"});
    if (Is(control, controls::kEditClass)) {
        states.push_back("readonly");
    }
    if (combo || list) {
        const console::ListMessages& messages =
            combo ? console::kComboBoxMessages : console::kListBoxMessages;
        const LRESULT selected = SendMessageW(control, messages.cursel, 0, 0);
        states.push_back(selected < 0 ? std::string("selected none")
                                      : "selected " + console::Quoted(console::ItemText(
                                                          control, messages, selected)));
        std::string items = "items";
        for (const std::wstring& item : console::ItemsOf(control, messages)) {
            items += " " + console::Quoted(item);
        }
        states.push_back(items);
    }
    if (Is(control, controls::kTrackbarClass)) {
        states.push_back("pos " + std::to_string(SendMessageW(control, kTbmGetPos, 0, 0)));
    }
    std::vector<std::string> lines;
    for (const std::string& state : states) {
        lines.push_back("expect control " + name + " " + state);
    }
    return lines;
}

}  // namespace

std::vector<std::string> OfferChecks(POINT screen,
                                     const std::function<bool(const std::string&)>& holds) {
    std::vector<std::string> candidates;
    if (HWND top = console::ForegroundTopLevel()) {
        candidates.push_back("expect foreground " + console::Quoted(TextOf(top)));
    }
    if (HWND control = ControlAt(screen)) {
        std::vector<std::string> states =
            Candidates(control, console::ToString(*console::AddressOf(control)));
        candidates.insert(candidates.end(), states.begin(), states.end());
    }
    std::vector<std::string> offered;
    for (const std::string& line : candidates) {
        if (holds(line)) {
            offered.push_back(line);
        }
    }
    return offered;
}

}  // namespace tovarin::emulator::web
