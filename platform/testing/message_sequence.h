// One way for every test to check the messages a window receives: a window procedure (or a
// subclass, or a parent's procedure) feeds a MessageLog, and the test compares what the log took
// with a table of expected messages, one table per scenario:
//
//     const ExpectedMessage kTap[] = {
//         {WM_COMMAND, kSent | kParent | kCheckWparam, MAKEWPARAM(kId, BN_CLICKED)},
//         {WM_PAINT, kSent | kOptional},
//     };
//     EXPECT_SEQUENCE(log.Take(), kTap) << "a tap on the button";
//
// A difference fails the test with the expected table beside what was received, line by line.
#pragma once

#include <gtest/gtest.h>

#include <mutex>
#include <span>
#include <string>
#include <vector>

#include <windows.h>

namespace tovarin::testing {

// How a message was delivered, and what of an expected entry is checked.
enum MessageFlags : unsigned {
    kSent = 1u << 0,         // by SendMessage (or a call from the window manager)
    kPosted = 1u << 1,       // through the queue
    kParent = 1u << 2,       // to the parent of the window under test (its notifications)
    kDefWinProc = 1u << 3,   // seen by the default procedure, after the window's own
    kOptional = 1u << 4,     // expected only: may be missing
    kCheckWparam = 1u << 5,  // expected only: wParam must be equal
    kCheckLparam = 1u << 6,  // expected only: lParam must be equal
    // A callback that is no window message (a property sheet's or a page's), logged among the
    // messages so that the order of both is kept; `message` holds the callback's code.
    kCallback = 1u << 7,
};

// A message as received; WM_NOTIFY is recorded with its notification code (as a signed number)
// as lParam, since the record it points to is gone once the message returns.
struct LoggedMessage {
    UINT message = 0;
    unsigned flags = 0;  // kSent, kPosted, kParent, kDefWinProc; none when the recorder cannot tell
    WPARAM wparam = 0;
    LPARAM lparam = 0;
    HWND window = nullptr;  // the window that received it, for logs of several windows
    DWORD thread = 0;       // the thread whose procedure ran it, for logs of several threads
};

struct ExpectedMessage {
    UINT message = 0;
    unsigned flags = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
    HWND window = nullptr;  // when given, the message must have reached this window
    DWORD thread = 0;       // when given, the procedure must have run on this thread
};

// The table of a scenario in which the window must receive nothing.
inline constexpr std::span<const ExpectedMessage> kNoMessages{};

// The recorder: window procedures on any thread add to it, the test takes what it holds.
class MessageLog {
  public:
    void Add(const LoggedMessage& message);
    // A message as a window procedure receives it; `flags` says how it came (kSent unless the
    // procedure knows it was posted, kParent for a parent's procedure).
    void AddReceived(UINT message, WPARAM wparam, LPARAM lparam, unsigned flags = kSent);
    // What was logged since the last Take, emptying the log.
    std::vector<LoggedMessage> Take();
    void Clear();

  private:
    std::mutex mutex_;
    std::vector<LoggedMessage> messages_;
};

// Whether `actual` is `expected` (optional entries may be left out); when not, the message says
// where they part and shows both side by side.
::testing::AssertionResult SequenceMatches(std::span<const LoggedMessage> actual,
                                           std::span<const ExpectedMessage> expected);

// A message's name (WM_COMMAND, BN_CLICKED is in wParam) or its number.
std::string MessageName(UINT message);

}  // namespace tovarin::testing

// Compares the messages received (a MessageLog's Take()) with the table; stream the scenario's
// name after it.
#define EXPECT_SEQUENCE(actual, expected) \
    EXPECT_TRUE(::tovarin::testing::SequenceMatches((actual), (expected)))
