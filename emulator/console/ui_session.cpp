// The console's commands on what the screen shows (see ui_commands.h). Every state is read
// through the messages a control answers (WM_GETTEXT, BM_GETCHECK, CB_/LB_ item messages,
// TBM_GETPOS) or the window's styles and rectangle, so that it reflects what the user sees.
#include <cwctype>

#include "console/list_items.h"
#include "console/session.h"
#include "console/ui_commands.h"
#include "console/ui_input.h"
#include "common/names.h"
#include "host/screen.h"
#include "hosts/taskbar.h"
#include "host/stylus.h"
#include "host/text.h"

namespace tovarin::emulator::console {
namespace {

// The trackbar's and the edit's values the console reads, as the controls answer them.
constexpr UINT kTbmGetPos = WM_USER;
constexpr LONG kEsReadOnly = 0x0800;
constexpr LRESULT kListError = -1;  // CB_ERR, LB_ERR

std::string Utf8(const std::wstring& text) {
    return kernel::WideToUtf8(text);
}

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    return text;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[128] = {};
    GetClassNameW(hwnd, name, 128);
    return name;
}

std::wstring TextOf(HWND hwnd) {
    const LRESULT length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::clamp<LRESULT>(copied, 0, length)));
    return text;
}

std::optional<ListMessages> ListMessagesOf(HWND hwnd) {
    const std::wstring name = Upper(ClassOf(hwnd));
    if (name == L"COMBOBOX") {
        return kComboBoxMessages;
    }
    if (name == L"LISTBOX") {
        return kListBoxMessages;
    }
    return std::nullopt;
}

RECT RectInParent(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    HWND parent = (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd) : nullptr;
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string RectText(const RECT& rect) {
    return std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
           std::to_string(rect.right - rect.left) + " " + std::to_string(rect.bottom - rect.top);
}

// One line of the dump: class, id, text, state, rectangle in the parent's client area.
std::string DumpLine(HWND hwnd, int depth) {
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    std::string line(static_cast<size_t>(depth) * 2, ' ');
    line += Utf8(ClassOf(hwnd));
    if (style & WS_CHILD) {
        line += " " + std::to_string(GetDlgCtrlID(hwnd));
    }
    line += " \"" + Utf8(TextOf(hwnd)) + "\"";
    line += (style & WS_VISIBLE) ? " shown" : " hidden";
    if (style & WS_DISABLED) {
        line += " disabled";
    }
    const std::wstring name = Upper(ClassOf(hwnd));
    if (name == L"EDIT" && (style & kEsReadOnly)) {
        line += " readonly";
    }
    if (name == L"BUTTON") {
        const LRESULT check = SendMessageW(hwnd, BM_GETCHECK, 0, 0);
        line += check == BST_CHECKED         ? " checked"
                : check == BST_INDETERMINATE ? " indeterminate"
                                             : "";
    }
    if (std::optional<ListMessages> list = ListMessagesOf(hwnd)) {
        const LRESULT selected = SendMessageW(hwnd, list->cursel, 0, 0);
        line += " items " + std::to_string(SendMessageW(hwnd, list->count, 0, 0));
        line += selected == kListError
                    ? " selected none"
                    : " selected \"" + Utf8(ItemText(hwnd, *list, selected)) + "\"";
    }
    if (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_CAPTIONOKBTN) {
        line += " ok-button";
    }
    line += " [" + RectText(RectInParent(hwnd)) + "]";
    return line;
}

void DumpTree(HWND hwnd, int depth, std::vector<std::string>& lines) {
    lines.push_back(DumpLine(hwnd, depth));
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        DumpTree(child, depth + 1, lines);
    }
}

// Every control of the foreground window with this id, shown or not.
std::vector<HWND> AllWithId(HWND top, int id) {
    std::vector<HWND> found;
    std::vector<HWND> pending{top};
    while (!pending.empty()) {
        HWND hwnd = pending.back();
        pending.pop_back();
        std::vector<HWND> children;
        for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            children.push_back(child);
            if (GetDlgCtrlID(child) == id) {
                found.push_back(child);
            }
        }
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return found;
}

Outcome CheckControl(const ExpectControlCommand& command) {
    using Kind = ExpectControlCommand::Kind;
    const ControlAddress address{command.id, command.index};
    std::variant<HWND, std::string> found = FindControl(address);
    if (command.kind == Kind::Hidden) {
        if (std::holds_alternative<HWND>(found)) {
            return Outcome::Failed("control " + ToString(address) + " is shown",
                                   {DumpLine(std::get<HWND>(found), 0)});
        }
        HWND top = ForegroundTopLevel();
        if (!top || AllWithId(top, command.id).empty()) {
            return Outcome::Failed(std::get<std::string>(found));
        }
        return Outcome::Done();  // there, but not shown
    }
    if (auto* reason = std::get_if<std::string>(&found)) {
        return Outcome::Failed(*reason);
    }
    HWND control = std::get<HWND>(found);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const std::string name = "control " + ToString(address);
    auto failed = [&](const std::string& why) {
        return Outcome::Failed(name + " " + why, {DumpLine(control, 0)});
    };
    switch (command.kind) {
        case Kind::Text: {
            std::wstring text = TextOf(control);
            return text == command.text ? Outcome::Done() : failed("has text " + Quoted(text));
        }
        case Kind::Checked:
        case Kind::Unchecked: {
            const LRESULT check = SendMessageW(control, BM_GETCHECK, 0, 0);
            const LRESULT wanted = command.kind == Kind::Checked ? BST_CHECKED : BST_UNCHECKED;
            return check == wanted ? Outcome::Done()
                                   : failed(check == BST_CHECKED     ? "is checked"
                                            : check == BST_UNCHECKED ? "is unchecked"
                                                                     : "is indeterminate");
        }
        case Kind::Enabled:
            return !(style & WS_DISABLED) ? Outcome::Done() : failed("is disabled");
        case Kind::Disabled:
            return (style & WS_DISABLED) ? Outcome::Done() : failed("is enabled");
        case Kind::Shown:
            return Outcome::Done();  // found among the shown controls
        case Kind::Readonly:
            return (style & kEsReadOnly) ? Outcome::Done() : failed("is not read-only");
        case Kind::Items:
        case Kind::Count:
        case Kind::Selected:
        case Kind::SelectedNone: {
            std::optional<ListMessages> list = ListMessagesOf(control);
            if (!list) {
                return failed("is a " + Utf8(ClassOf(control)) + ", which has no items");
            }
            std::vector<std::wstring> items = ItemsOf(control, *list);
            std::string listed;
            for (const std::wstring& item : items) {
                listed += (listed.empty() ? "" : " ") + Quoted(item);
            }
            if (command.kind == Kind::Items) {
                return items == command.items ? Outcome::Done() : failed("has items " + listed);
            }
            if (command.kind == Kind::Count) {
                return static_cast<int64_t>(items.size()) == command.number
                           ? Outcome::Done()
                           : failed("has " + std::to_string(items.size()) + " items: " + listed);
            }
            const LRESULT selected = SendMessageW(control, list->cursel, 0, 0);
            if (command.kind == Kind::SelectedNone) {
                return selected == kListError
                           ? Outcome::Done()
                           : failed("has " + Quoted(ItemText(control, *list, selected)) +
                                    " selected");
            }
            if (selected == kListError) {
                return failed("has nothing selected");
            }
            std::wstring text = ItemText(control, *list, selected);
            return text == command.text ? Outcome::Done()
                                        : failed("has " + Quoted(text) + " selected");
        }
        case Kind::Pos: {
            const LRESULT pos = SendMessageW(control, kTbmGetPos, 0, 0);
            return pos == command.number ? Outcome::Done()
                                         : failed("is at position " + std::to_string(pos));
        }
        case Kind::Rect: {
            RECT rect = RectInParent(control);
            const bool same = rect.left == command.rect[0] && rect.top == command.rect[1] &&
                              rect.right - rect.left == command.rect[2] &&
                              rect.bottom - rect.top == command.rect[3];
            return same ? Outcome::Done() : failed("is at " + RectText(rect));
        }
        case Kind::Hidden:
            break;
    }
    return Outcome::Done();
}

std::string TitleOf(HWND hwnd) {
    wchar_t title[256] = {};
    GetWindowTextW(hwnd, title, 256);
    return Utf8(title);
}

Outcome Scroll(const ScrollCommand& command) {
    HWND top = ForegroundTopLevel();
    if (!top) {
        return Outcome::Failed("no window is in the foreground");
    }
    std::vector<HWND> candidates{top};
    for (HWND hwnd : ShownDescendants(top)) {
        candidates.push_back(hwnd);
    }
    for (HWND hwnd : candidates) {
        std::optional<gwes::VerticalBarPoints> points = gwes::VerticalBarPointsOf(hwnd);
        if (!points) {
            continue;
        }
        std::optional<std::string> failure;
        using Action = ScrollCommand::Action;
        switch (command.action) {
            case Action::LineDown:
                failure = TapPoint(points->line_down);
                break;
            case Action::LineUp:
                failure = TapPoint(points->line_up);
                break;
            case Action::PageDown:
                failure = TapPoint(points->page_down);
                break;
            case Action::PageUp:
                failure = TapPoint(points->page_up);
                break;
            case Action::Thumb: {
                std::optional<POINT> from =
                    gwes::VerticalThumbPoint(hwnd, GetScrollPos(hwnd, SB_VERT));
                std::optional<POINT> to = gwes::VerticalThumbPoint(hwnd, command.position);
                if (!from || !to) {
                    return Outcome::Failed("the scroll bar went away");
                }
                failure = DragPoint(*from, *to);
                break;
            }
        }
        if (failure) {
            return Outcome::Failed(*failure);
        }
        return Outcome::Done();
    }
    return Outcome::Failed("no window with a vertical scroll bar in \"" + TitleOf(top) + "\"");
}

}  // namespace

std::vector<std::string> Session::ForegroundDump() const {
    std::vector<std::string> lines;
    if (HWND top = ForegroundTopLevel()) {
        DumpTree(top, 0, lines);
    }
    return lines;
}

Outcome Session::Do(const UiCommand& command) {
    if (auto* dump = std::get_if<DumpCommand>(&command)) {
        (void)dump;
        std::vector<std::string> lines = ForegroundDump();
        if (lines.empty()) {
            return Outcome::Failed("no window is in the foreground");
        }
        for (const std::string& line : lines) {
            output_.Line(line);
        }
        return Outcome::Done();
    }
    if (auto* expect = std::get_if<ExpectForegroundCommand>(&command)) {
        HWND top = ForegroundTopLevel();
        const std::string title = top ? TitleOf(top) : "";
        const bool matches = top && title == Utf8(expect->title);
        if (matches != !expect->negated) {
            return Outcome::Failed(
                expect->negated ? "the foreground window is " + Quoted(expect->title)
                                : "the foreground window is not " + Quoted(expect->title),
                {top ? "foreground: \"" + title + "\"" : "no foreground window"});
        }
        return Outcome::Done();
    }
    if (auto* expect = std::get_if<ExpectControlCommand>(&command)) {
        return CheckControl(*expect);
    }
    if (std::holds_alternative<OkCommand>(command)) {
        HWND top = ForegroundTopLevel();
        if (!top) {
            return Outcome::Failed("no window is in the foreground");
        }
        if (!(GetWindowLongW(top, GWL_EXSTYLE) & WS_EX_CAPTIONOKBTN)) {
            return Outcome::Failed("\"" + TitleOf(top) + "\" shows no OK button in its caption");
        }
        if (!IsWindowEnabled(top)) {
            return Outcome::Failed("\"" + TitleOf(top) + "\" is disabled");
        }
        // The taskbar's OK button sends the window the command of its OK button.
        PostMessageW(top, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return Outcome::Done();
    }
    if (std::holds_alternative<StartMenuCommand>(command) ||
        std::holds_alternative<TodayCommand>(command)) {
        HWND taskbar = FindWindowW(kWindowClassTaskBar, nullptr);
        if (!taskbar) {
            return Outcome::Failed("the phone has no taskbar");
        }
        // As a tap on the Start button or on "Сегодня": the shell's windows live on the
        // taskbar's thread.
        SendMessageW(taskbar,
                     std::holds_alternative<TodayCommand>(command) ? kMessageShowToday
                                                                   : kMessageOpenStartMenu,
                     0, 0);
        return Outcome::Done();
    }
    if (auto* scroll = std::get_if<ScrollCommand>(&command)) {
        return Scroll(*scroll);
    }
    if (auto* rotate = std::get_if<RotateCommand>(&command)) {
        using Orientation = RotateCommand::Orientation;
        gwes::TurnScreen(rotate->orientation == Orientation::Portrait ? gwes::Orientation::Portrait
                         : rotate->orientation == Orientation::Landscape
                             ? gwes::Orientation::Landscape
                             : gwes::Orientation::Square);
        return Outcome::Done();
    }
    return Outcome::Failed("unknown command");
}

}  // namespace tovarin::emulator::console
