// The keypad-lock and headset-ring watchers: the command at start, on every change, and what
// they ignore.
#include "listener_fixture.h"

namespace wexmoor_testing {
namespace {

using Words = std::vector<uint32_t>;

// The input words of each call, checking that every call carries `code`.
std::vector<Words> WordsOf(const std::vector<IoctlRecord>& records, uint32_t code) {
    std::vector<Words> words;
    for (const IoctlRecord& record : records) {
        EXPECT_EQ(record.code, code);
        words.push_back(record.InputWords());
    }
    return words;
}

TEST_F(ListenerTest, KeypadLockTakesTheLowestByteAtStartAndTheWholeValueOnChange) {
    SetMySetting(kValueKeyPadLock, 1);
    Mark();
    StartListener();
    EXPECT_EQ(WordsOf(IoctlsSinceMark(L"HAL"), kHalIoctlKeypadLock), (std::vector<Words>{{0}}));

    Mark();
    SetMySetting(kValueKeyPadLock, 0);
    SetMySetting(kValueKeyPadLock, 0x200);  // lowest byte 0, yet a locked keypad
    SetMySetting(kValueKeyPadLock, 7);
    EXPECT_EQ(WordsOf(IoctlsSinceMark(L"HAL"), kHalIoctlKeypadLock),
              (std::vector<Words>{{1}, {0}, {0}}));
}

// headset_ring.scn shows the routes; here the edge: at start only the lowest byte counts, on a
// change the whole value.
TEST_F(ListenerTest, HeadsetRingStoredAtStartIsRoutedByItsLowestByte) {
    SetMySetting(kValueHeadSetRing, 0x300);
    Mark();
    StartListener();
    SetMySetting(kValueHeadSetRing, 0x100);
    EXPECT_EQ(WordsOf(IoctlsSinceMark(L"RUT1:"), kIoctlRingToneRoute),
              (std::vector<Words>{{kRingToneRouteCommand, kRingToneRouteSpeaker},
                                  {kRingToneRouteCommand, kRingToneRouteHeadset}}));
}

TEST_F(ListenerTest, MessagesTooShortToCarryAValueAreIgnored) {
    StartListener();
    MSGQUEUEOPTIONS options = {};
    options.dwSize = sizeof options;
    options.bReadAccess = FALSE;
    HANDLE writer = CreateMsgQueue(kQueueHardwareKeyLock, &options);
    ASSERT_NE(writer, nullptr);

    Mark();
    DWORD removed[3] = {0x1234, 0, 0};      // a removed value: no data
    DWORD twoBytes[4] = {0x1234, 0, 2, 0};  // 14 bytes: header and a 2-byte value
    DWORD complete[4] = {0x1234, 0, 4, 0};
    ASSERT_TRUE(WriteMsgQueue(writer, removed, sizeof removed, 0, 0));
    ASSERT_TRUE(WriteMsgQueue(writer, twoBytes, 14, 0, 0));
    ASSERT_TRUE(WriteMsgQueue(writer, complete, sizeof complete, 0, 0));
    tovarin::kernel::WaitForDeviceIdle();
    CloseMsgQueue(writer);
    EXPECT_EQ(WordsOf(IoctlsSinceMark(L"HAL"), kHalIoctlKeypadLock), (std::vector<Words>{{1}}));
}

TEST_F(ListenerTest, WithoutTheRingToneRouterOnlyTheHeadsetWatcherEnds) {
    tovarin::kernel::UnregisterDriver(kDeviceRingToneRouter);
    SetBacklightTaps(1, 0);
    StartListener();
    EXPECT_TRUE(TraceContains(L"RUT1:"));
    EXPECT_EQ(QueueReaders(kQueueRingToneHeadsetSpeakerState), 0);
    EXPECT_EQ(QueueReaders(kQueueHardwareKeyLock), 1);

    Mark();
    SetMySetting(kValueKeyPadLock, 1);
    SignalBacklightChange();
    EXPECT_EQ(IoctlsSinceMark(L"HAL").size(), 1u);
    EXPECT_EQ(IoctlsSinceMark(L"BKL1:").size(), 1u);
}

}  // namespace
}  // namespace wexmoor_testing
