// The message-sequence tables that the GUI tests compare with: what matches, what an optional or
// unchecked entry lets pass, and what a failure shows.
#include "testing/message_sequence.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace tovarin::testing {
namespace {

const ExpectedMessage kClickSequence[] = {
    {WM_LBUTTONDOWN, kSent},
    {WM_PAINT, kSent | kOptional},
    {WM_LBUTTONUP, kSent},
    {WM_COMMAND, kSent | kParent | kCheckWparam, MAKEWPARAM(1001, BN_CLICKED)},
};

TEST(MessageSequence, OptionalEntriesMayComeOrNotAndUncheckedParametersAreFree) {
    const LoggedMessage without_paint[] = {
        {WM_LBUTTONDOWN, kSent, MK_LBUTTON, MAKELPARAM(5, 5)},
        {WM_LBUTTONUP, kSent, 0, MAKELPARAM(5, 5)},
        {WM_COMMAND, kSent | kParent, MAKEWPARAM(1001, BN_CLICKED), 0x1234},
    };
    EXPECT_SEQUENCE(without_paint, kClickSequence);
    const LoggedMessage with_paint[] = {
        without_paint[0],
        {WM_PAINT, kSent},
        without_paint[1],
        without_paint[2],
    };
    EXPECT_SEQUENCE(with_paint, kClickSequence);
}

TEST(MessageSequence, DeliveryParametersAndCountMustAgree) {
    const LoggedMessage base[] = {
        {WM_LBUTTONDOWN, kSent},
        {WM_LBUTTONUP, kSent},
        {WM_COMMAND, kSent | kParent, MAKEWPARAM(1001, BN_CLICKED)},
    };
    // Posted instead of sent.
    LoggedMessage posted[] = {base[0], base[1], base[2]};
    posted[1].flags = kPosted;
    EXPECT_FALSE(SequenceMatches(posted, kClickSequence));
    // To the window itself instead of its parent.
    LoggedMessage own[] = {base[0], base[1], base[2]};
    own[2].flags = kSent;
    EXPECT_FALSE(SequenceMatches(own, kClickSequence));
    // Another notification code in a checked wParam.
    LoggedMessage other_code[] = {base[0], base[1], base[2]};
    other_code[2].wparam = MAKEWPARAM(1001, BN_SETFOCUS);
    EXPECT_FALSE(SequenceMatches(other_code, kClickSequence));
    // One missing, one too many.
    EXPECT_FALSE(SequenceMatches(std::span(base).first(2), kClickSequence));
    const LoggedMessage extra[] = {base[0], base[1], base[2], {WM_PAINT, kSent}};
    EXPECT_FALSE(SequenceMatches(extra, kClickSequence));
    EXPECT_TRUE(
        SequenceMatches(std::span<const LoggedMessage>(), std::span<const ExpectedMessage>()));
}

TEST(MessageSequence, AGivenWindowOrThreadMustBeTheOneThatReceived) {
    HWND const window = reinterpret_cast<HWND>(0x40000010);
    constexpr DWORD kOwner = 0x2004;
    const ExpectedMessage on_owner[] = {{WM_TIMER, 0, 0, 0, window, kOwner}};
    const LoggedMessage there[] = {{WM_TIMER, 0, 1, 0, window, kOwner}};
    EXPECT_SEQUENCE(there, on_owner);
    const LoggedMessage other_thread[] = {{WM_TIMER, 0, 1, 0, window, 0x2008}};
    const std::string text = SequenceMatches(other_thread, on_owner).message();
    EXPECT_NE(text.find("on thread 8196"), std::string::npos) << text;
    const LoggedMessage other_window[] = {{WM_TIMER, 0, 1, 0, nullptr, kOwner}};
    EXPECT_FALSE(SequenceMatches(other_window, on_owner));
    // An entry that names neither takes the message wherever it ran.
    const ExpectedMessage anywhere[] = {{WM_TIMER}};
    EXPECT_SEQUENCE(other_thread, anywhere);
}

TEST(MessageSequence, ACallbackIsNoMessageOfTheSameNumber) {
    constexpr UINT kCreated = 2;  // a page callback's code, WM_DESTROY's number
    const ExpectedMessage made[] = {{kCreated, kCallback}, {WM_INITDIALOG, kSent}};
    const LoggedMessage called[] = {{kCreated, kCallback}, {WM_INITDIALOG, kSent}};
    EXPECT_SEQUENCE(called, made);
    const LoggedMessage destroyed[] = {{WM_DESTROY, kSent}, {WM_INITDIALOG, kSent}};
    const std::string text = SequenceMatches(destroyed, made).message();
    EXPECT_NE(text.find("expected[0] 2 callback w=* l=*, received[0] WM_DESTROY sent"),
              std::string::npos)
        << text;
}

TEST(MessageSequence, AFailureShowsWhereTheyPartAndBothColumns) {
    const LoggedMessage received[] = {{WM_LBUTTONDOWN, kSent}, {WM_KEYDOWN, kPosted, 0x72}};
    const std::string text = SequenceMatches(received, kClickSequence).message();
    EXPECT_NE(text.find("differ at expected[2] WM_LBUTTONUP sent w=* l=*, received[1] WM_KEYDOWN "
                        "posted w=0x72"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("WM_COMMAND sent|parent w=0x3e9"), std::string::npos) << text;
    EXPECT_NE(text.find("WM_PAINT sent|optional"), std::string::npos) << text;
    EXPECT_EQ(MessageName(WM_USER + 2), "WM_USER+2");
}

TEST(MessageLog, TakesWhatWasAddedOnceAndKeepsANotificationsCode) {
    MessageLog log;
    NMHDR header{nullptr, 1010, static_cast<UINT>(LVN_ITEMCHANGED)};
    log.AddReceived(WM_NOTIFY, 1010, reinterpret_cast<LPARAM>(&header), kSent | kParent);
    log.AddReceived(WM_TIMER, 7, 0, kPosted);
    const ExpectedMessage expected[] = {
        {WM_NOTIFY, kSent | kParent | kCheckWparam | kCheckLparam, 1010,
         static_cast<int>(LVN_ITEMCHANGED)},
        {WM_TIMER, kPosted | kCheckWparam, 7},
    };
    EXPECT_SEQUENCE(log.Take(), expected);
    EXPECT_TRUE(log.Take().empty());
    // A code that differs is shown as the signed number it is.
    log.AddReceived(WM_NOTIFY, 1010, reinterpret_cast<LPARAM>(&header), kSent | kParent);
    const std::string text = SequenceMatches(log.Take(), std::span(expected).last(1)).message();
    EXPECT_NE(text.find("WM_NOTIFY sent|parent w=0x3f2 l=-101"), std::string::npos) << text;
}

}  // namespace
}  // namespace tovarin::testing
