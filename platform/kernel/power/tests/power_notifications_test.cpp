// Power broadcasts: what reaches the queues that asked, byte for byte, and what does not.
#include <cstddef>
#include <cstring>
#include <vector>

#include <windows.h>
#include <msgqueue.h>
#include <pm.h>

#include "host/power.h"
#include "testing/device_fixture.h"

namespace tovarin::kernel::testing {
namespace {

using PowerNotificationsTest = SimulatedDeviceTest;

// The queue the device-event listener makes for its power watcher: 4 messages of 116 bytes.
HANDLE MakeQueue(LPCWSTR name = nullptr, DWORD max_messages = 4, DWORD max_size = 116,
                 DWORD flags = MSGQUEUE_NOPRECOMMIT) {
    MSGQUEUEOPTIONS options{};
    options.dwSize = sizeof options;
    options.dwFlags = flags;
    options.dwMaxMessages = max_messages;
    options.cbMaxMessage = max_size;
    options.bReadAccess = TRUE;
    HANDLE queue = CreateMsgQueue(name, &options);
    EXPECT_NE(nullptr, queue);
    return queue;
}

// The next message waiting in the queue, or empty when none waits.
std::vector<uint8_t> ReadMessage(HANDLE queue) {
    std::vector<uint8_t> buffer(256);
    DWORD read = 0, flags = 0;
    if (!ReadMsgQueue(queue, buffer.data(), static_cast<DWORD>(buffer.size()), &read, 0, &flags)) {
        EXPECT_EQ(static_cast<DWORD>(ERROR_TIMEOUT), GetLastError());
        return {};
    }
    buffer.resize(read);
    return buffer;
}

// A broadcast as the device's records lay it out: three words, then Length bytes of name.
std::vector<uint8_t> Expected(DWORD message, DWORD flags, const wchar_t* name) {
    DWORD length = name ? static_cast<DWORD>((std::wcslen(name) + 1) * sizeof(WCHAR)) : 0;
    std::vector<uint8_t> bytes(3 * sizeof(DWORD) + length);
    DWORD words[3] = {message, flags, length};
    std::memcpy(bytes.data(), words, sizeof words);
    if (name) {
        std::memcpy(bytes.data() + sizeof words, name, length);
    }
    return bytes;
}

WORD Writers(HANDLE queue) {
    MSGQUEUEINFO info{};
    info.dwSize = sizeof info;
    EXPECT_TRUE(GetMsgQueueInfo(queue, &info));
    return info.wNumWriters;
}

TEST_F(PowerNotificationsTest, StatusAndTransitionBroadcastsArriveByteForByte) {
    HANDLE queue = MakeQueue();
    HANDLE notifications = RequestPowerNotifications(queue, POWER_NOTIFY_ALL);
    ASSERT_NE(nullptr, notifications);

    power::SetExternalPower(true);
    std::vector<uint8_t> status = ReadMessage(queue);
    EXPECT_EQ(Expected(PBT_POWERSTATUSCHANGE, 0, nullptr), status);
    EXPECT_EQ(offsetof(POWER_BROADCAST, SystemPowerState), status.size());

    ASSERT_TRUE(power::SetSystemPowerState(L"UserIdle"));
    std::vector<uint8_t> transition = ReadMessage(queue);
    EXPECT_EQ(Expected(PBT_TRANSITION, POWER_STATE_USERIDLE, L"useridle"), transition);
    ASSERT_GE(transition.size(), sizeof(POWER_BROADCAST));
    const auto* broadcast = reinterpret_cast<const POWER_BROADCAST*>(transition.data());
    EXPECT_EQ(transition.size(), offsetof(POWER_BROADCAST, SystemPowerState) + broadcast->Length);
    EXPECT_STREQ(L"useridle", broadcast->SystemPowerState);

    // Entering the state the device is in is a transition all the same; keeping the supply as
    // it is changes no status.
    ASSERT_TRUE(power::SetSystemPowerState(L"useridle"));
    power::SetExternalPower(true);
    EXPECT_EQ(Expected(PBT_TRANSITION, POWER_STATE_USERIDLE, L"useridle"), ReadMessage(queue));
    EXPECT_TRUE(ReadMessage(queue).empty());

    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), StopPowerNotifications(notifications));
    CloseMsgQueue(queue);
}

TEST_F(PowerNotificationsTest, EachQueueGetsOnlyTheKindsItAskedFor) {
    HANDLE status_queue = MakeQueue();
    HANDLE transition_queue = MakeQueue();
    HANDLE status = RequestPowerNotifications(status_queue, PBT_POWERSTATUSCHANGE);
    HANDLE transitions = RequestPowerNotifications(transition_queue, PBT_TRANSITION | PBT_RESUME);
    ASSERT_NE(nullptr, status);
    ASSERT_NE(nullptr, transitions);

    ASSERT_TRUE(power::SetSystemPowerState(L"suspend"));
    power::SetExternalPower(true);
    ASSERT_TRUE(power::SetSystemPowerState(L"on"));

    EXPECT_EQ(Expected(PBT_POWERSTATUSCHANGE, 0, nullptr), ReadMessage(status_queue));
    EXPECT_TRUE(ReadMessage(status_queue).empty());
    EXPECT_EQ(Expected(PBT_TRANSITION, POWER_STATE_SUSPEND, L"suspend"),
              ReadMessage(transition_queue));
    EXPECT_EQ(Expected(PBT_TRANSITION, POWER_STATE_ON, L"on"), ReadMessage(transition_queue));
    EXPECT_TRUE(ReadMessage(transition_queue).empty());

    StopPowerNotifications(status);
    StopPowerNotifications(transitions);
    CloseMsgQueue(status_queue);
    CloseMsgQueue(transition_queue);
}

TEST_F(PowerNotificationsTest, AFullOrTooSmallQueueMissesBroadcastsAndNobodyWaits) {
    HANDLE one_slot = MakeQueue(nullptr, 1, 116);
    HANDLE small = MakeQueue(nullptr, 4, 12);  // room for a status change, not for a name
    HANDLE a = RequestPowerNotifications(one_slot, POWER_NOTIFY_ALL);
    HANDLE b = RequestPowerNotifications(small, POWER_NOTIFY_ALL);
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, b);

    SetLastError(1234);
    power::SetExternalPower(true);                         // fills one_slot
    ASSERT_TRUE(power::SetSystemPowerState(L"useridle"));  // dropped by both
    power::SetExternalPower(false);                        // dropped by one_slot
    EXPECT_EQ(0u, GetTickCount());                         // the host was never held up
    EXPECT_EQ(1234u, GetLastError());

    EXPECT_EQ(Expected(PBT_POWERSTATUSCHANGE, 0, nullptr), ReadMessage(one_slot));
    EXPECT_TRUE(ReadMessage(one_slot).empty());
    EXPECT_EQ(Expected(PBT_POWERSTATUSCHANGE, 0, nullptr), ReadMessage(small));
    EXPECT_EQ(Expected(PBT_POWERSTATUSCHANGE, 0, nullptr), ReadMessage(small));
    EXPECT_TRUE(ReadMessage(small).empty());

    // Once read, the queue takes broadcasts again.
    ASSERT_TRUE(power::SetSystemPowerState(L"on"));
    EXPECT_EQ(Expected(PBT_TRANSITION, POWER_STATE_ON, L"on"), ReadMessage(one_slot));

    StopPowerNotifications(a);
    StopPowerNotifications(b);
    CloseMsgQueue(one_slot);
    CloseMsgQueue(small);
}

TEST_F(PowerNotificationsTest, StoppingEndsDeliveryAndReleasesTheQueue) {
    HANDLE queue = MakeQueue();
    EXPECT_EQ(0, Writers(queue));
    HANDLE notifications = RequestPowerNotifications(queue, POWER_NOTIFY_ALL);
    ASSERT_NE(nullptr, notifications);
    EXPECT_EQ(1, Writers(queue));  // the power manager's own end

    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), StopPowerNotifications(notifications));
    EXPECT_EQ(0, Writers(queue));
    power::SetExternalPower(true);
    ASSERT_TRUE(power::SetSystemPowerState(L"useridle"));
    EXPECT_TRUE(ReadMessage(queue).empty());

    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), StopPowerNotifications(notifications));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), StopPowerNotifications(nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), StopPowerNotifications(queue));

    // Closing the subscription's handle ends it as well.
    notifications = RequestPowerNotifications(queue, POWER_NOTIFY_ALL);
    ASSERT_NE(nullptr, notifications);
    EXPECT_TRUE(CloseHandle(notifications));
    power::SetExternalPower(false);
    EXPECT_TRUE(ReadMessage(queue).empty());
    EXPECT_EQ(0, Writers(queue));
    CloseMsgQueue(queue);
}

TEST_F(PowerNotificationsTest, AQueueWithoutItsReaderIsSkippedUntilAReaderReturns) {
    // A queue that lets writers on without readers, so that a write would land if it were made.
    HANDLE first_reader = MakeQueue(L"PowerWatch", 4, 116, MSGQUEUE_ALLOW_BROKEN);
    HANDLE other = MakeQueue();
    HANDLE watched = RequestPowerNotifications(first_reader, POWER_NOTIFY_ALL);
    HANDLE others = RequestPowerNotifications(other, PBT_POWERSTATUSCHANGE);
    ASSERT_NE(nullptr, watched);
    ASSERT_NE(nullptr, others);
    CloseMsgQueue(first_reader);

    power::SetExternalPower(true);
    EXPECT_EQ(Expected(PBT_POWERSTATUSCHANGE, 0, nullptr), ReadMessage(other));

    // The power manager's end keeps the named queue; a new reader finds it empty and then
    // receives what comes next.
    HANDLE second_reader = MakeQueue(L"PowerWatch", 4, 116, MSGQUEUE_ALLOW_BROKEN);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_TRUE(ReadMessage(second_reader).empty());
    power::SetExternalPower(false);
    EXPECT_EQ(Expected(PBT_POWERSTATUSCHANGE, 0, nullptr), ReadMessage(second_reader));

    StopPowerNotifications(watched);
    StopPowerNotifications(others);
    CloseMsgQueue(second_reader);
    CloseMsgQueue(other);
}

TEST_F(PowerNotificationsTest, OnlyAReadEndOfAQueueCanSubscribe) {
    HANDLE queue = MakeQueue();
    MSGQUEUEOPTIONS write_options{};
    write_options.dwSize = sizeof write_options;
    write_options.bReadAccess = FALSE;
    HANDLE writer = OpenMsgQueue(GetCurrentProcess(), queue, &write_options);
    ASSERT_NE(nullptr, writer);
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);

    const HANDLE wrong[] = {nullptr, writer, event, INVALID_HANDLE_VALUE};
    for (HANDLE handle : wrong) {
        SetLastError(0);
        EXPECT_EQ(nullptr, RequestPowerNotifications(handle, POWER_NOTIFY_ALL));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    }
    SetLastError(0);
    EXPECT_EQ(nullptr, RequestPowerNotifications(queue, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(1, Writers(queue));  // nothing was left open by the failures

    CloseHandle(event);
    CloseMsgQueue(writer);
    CloseMsgQueue(queue);
}

}  // namespace
}  // namespace tovarin::kernel::testing
