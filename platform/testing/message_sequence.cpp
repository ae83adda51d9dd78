#include "testing/message_sequence.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include <commctrl.h>

namespace tovarin::testing {
namespace {

constexpr unsigned kDeliveryFlags = kSent | kPosted | kParent | kDefWinProc | kCallback;

bool Matches(const LoggedMessage& actual, const ExpectedMessage& expected) {
    return actual.message == expected.message &&
           (actual.flags & kDeliveryFlags) == (expected.flags & kDeliveryFlags) &&
           (!(expected.flags & kCheckWparam) || actual.wparam == expected.wparam) &&
           (!(expected.flags & kCheckLparam) || actual.lparam == expected.lparam) &&
           (!expected.window || actual.window == expected.window) &&
           (!expected.thread || actual.thread == expected.thread);
}

std::string Hex(uintptr_t value) {
    char text[24];
    std::snprintf(text, sizeof(text), "0x%lx", static_cast<unsigned long>(value));
    return text;
}

std::string Delivery(unsigned flags) {
    std::string text;
    auto add = [&](unsigned flag, const char* name) {
        if (flags & flag) {
            text += (text.empty() ? "" : "|") + std::string(name);
        }
    };
    add(kSent, "sent");
    add(kPosted, "posted");
    add(kParent, "parent");
    add(kDefWinProc, "defwinproc");
    add(kCallback, "callback");
    add(kOptional, "optional");
    return text;
}

std::string Target(HWND window) {
    return window ? " to " + Hex(reinterpret_cast<uintptr_t>(window)) : "";
}

std::string Thread(DWORD thread) {
    return thread ? " on thread " + std::to_string(thread) : "";
}

// A callback's codes are its own, not message numbers.
std::string Name(UINT message, unsigned flags) {
    return flags & kCallback ? std::to_string(message) : MessageName(message);
}

// lParam as the log keeps it: a notification's code as the signed number it is (PSN_SETACTIVE
// is -200), anything else in hexadecimal.
std::string Lparam(UINT message, unsigned flags, LPARAM lparam) {
    return message == WM_NOTIFY && !(flags & kCallback) ? std::to_string(lparam)
                                                        : Hex(static_cast<uintptr_t>(lparam));
}

std::string Describe(const LoggedMessage& message) {
    return Name(message.message, message.flags) + " " + Delivery(message.flags) +
           " w=" + Hex(message.wparam) +
           " l=" + Lparam(message.message, message.flags, message.lparam) + Target(message.window) +
           Thread(message.thread);
}

std::string Describe(const ExpectedMessage& message) {
    std::string text = Name(message.message, message.flags) + " " + Delivery(message.flags);
    text += message.flags & kCheckWparam ? " w=" + Hex(message.wparam) : " w=*";
    text += message.flags & kCheckLparam
                ? " l=" + Lparam(message.message, message.flags, message.lparam)
                : " l=*";
    return text + Target(message.window) + Thread(message.thread);
}

}  // namespace

void MessageLog::Add(const LoggedMessage& message) {
    std::lock_guard guard(mutex_);
    messages_.push_back(message);
}

void MessageLog::AddReceived(UINT message, WPARAM wparam, LPARAM lparam, unsigned flags) {
    LPARAM logged = lparam;
    if (message == WM_NOTIFY && lparam != 0) {
        // Codes are negative numbers kept in a UINT (LVN_ITEMCHANGED is -101).
        logged =
            static_cast<LPARAM>(static_cast<int>(reinterpret_cast<const NMHDR*>(lparam)->code));
    }
    Add({message, flags, wparam, logged});
}

std::vector<LoggedMessage> MessageLog::Take() {
    std::lock_guard guard(mutex_);
    std::vector<LoggedMessage> taken;
    taken.swap(messages_);
    return taken;
}

void MessageLog::Clear() {
    std::lock_guard guard(mutex_);
    messages_.clear();
}

::testing::AssertionResult SequenceMatches(std::span<const LoggedMessage> actual,
                                           std::span<const ExpectedMessage> expected) {
    size_t a = 0;
    size_t e = 0;
    std::string parted;
    while (e < expected.size() || a < actual.size()) {
        if (e < expected.size() && a < actual.size() && Matches(actual[a], expected[e])) {
            ++a;
            ++e;
        } else if (e < expected.size() && (expected[e].flags & kOptional)) {
            ++e;
        } else {
            std::ostringstream where;
            where << "expected[" << e << "] "
                  << (e < expected.size() ? Describe(expected[e]) : "(the end)") << ", received["
                  << a << "] " << (a < actual.size() ? Describe(actual[a]) : "(the end)");
            parted = where.str();
            break;
        }
    }
    if (parted.empty()) {
        return ::testing::AssertionSuccess();
    }
    // Both columns in full, so that a reader sees what came instead.
    constexpr size_t kColumn = 48;
    std::ostringstream table;
    table << "the messages differ at " << parted << "\n";
    std::string heading = "  expected";
    heading.resize(kColumn + 4, ' ');
    table << heading << "received\n";
    for (size_t row = 0; row < std::max(expected.size(), actual.size()); ++row) {
        std::string left = row < expected.size() ? Describe(expected[row]) : "";
        left.resize(std::max(left.size(), kColumn), ' ');
        table << "  " << left << "  " << (row < actual.size() ? Describe(actual[row]) : "") << "\n";
    }
    return ::testing::AssertionFailure() << table.str();
}

std::string MessageName(UINT message) {
    static constexpr std::pair<UINT, const char*> kNames[] = {
        {WM_CREATE, "WM_CREATE"},
        {WM_DESTROY, "WM_DESTROY"},
        {WM_MOVE, "WM_MOVE"},
        {WM_SIZE, "WM_SIZE"},
        {WM_ACTIVATE, "WM_ACTIVATE"},
        {WM_SETFOCUS, "WM_SETFOCUS"},
        {WM_KILLFOCUS, "WM_KILLFOCUS"},
        {WM_ENABLE, "WM_ENABLE"},
        {WM_SETTEXT, "WM_SETTEXT"},
        {WM_GETTEXT, "WM_GETTEXT"},
        {WM_PAINT, "WM_PAINT"},
        {WM_CLOSE, "WM_CLOSE"},
        {WM_QUIT, "WM_QUIT"},
        {WM_ERASEBKGND, "WM_ERASEBKGND"},
        {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
        {WM_SETFONT, "WM_SETFONT"},
        {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
        {WM_NOTIFY, "WM_NOTIFY"},
        {WM_KEYDOWN, "WM_KEYDOWN"},
        {WM_KEYUP, "WM_KEYUP"},
        {WM_CHAR, "WM_CHAR"},
        {WM_INITDIALOG, "WM_INITDIALOG"},
        {WM_COMMAND, "WM_COMMAND"},
        {WM_TIMER, "WM_TIMER"},
        {WM_HSCROLL, "WM_HSCROLL"},
        {WM_VSCROLL, "WM_VSCROLL"},
        {WM_DRAWITEM, "WM_DRAWITEM"},
        {WM_CTLCOLORSTATIC, "WM_CTLCOLORSTATIC"},
        {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
        {WM_LBUTTONUP, "WM_LBUTTONUP"},
        {WM_HOTKEY, "WM_HOTKEY"},
    };
    for (const auto& [value, name] : kNames) {
        if (value == message) {
            return name;
        }
    }
    if (message >= WM_USER) {
        return "WM_USER+" + std::to_string(message - WM_USER);
    }
    return Hex(message);
}

}  // namespace tovarin::testing
