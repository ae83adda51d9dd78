// Message queues: named ends, waiting on the read end, full queues and short buffers.
#include <cstring>

#include <windows.h>
#include <msgqueue.h>

#include "testing/device_fixture.h"

namespace tovarin::kernel::testing {
namespace {

using MsgQueueTest = SimulatedDeviceTest;

MSGQUEUEOPTIONS QueueOptions(BOOL read, DWORD max_messages, DWORD max_size) {
    MSGQUEUEOPTIONS options{};
    options.dwSize = sizeof options;
    options.dwFlags = MSGQUEUE_NOPRECOMMIT;
    options.dwMaxMessages = max_messages;
    options.cbMaxMessage = max_size;
    options.bReadAccess = read;
    return options;
}

TEST_F(MsgQueueTest, NamedWriterReachesReaderAndReadEndIsWaitable) {
    MSGQUEUEOPTIONS read_options = QueueOptions(TRUE, 10, 20);
    HANDLE reader = CreateMsgQueue(L"HardwareKeyLock", &read_options);
    ASSERT_NE(nullptr, reader);
    MSGQUEUEOPTIONS write_options = QueueOptions(FALSE, 0, 0);
    HANDLE writer = CreateMsgQueue(L"HardwareKeyLock", &write_options);
    ASSERT_NE(nullptr, writer);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());

    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(reader, 0));
    DWORD packet[4] = {0x20000004, 0, 4, 1};
    ASSERT_TRUE(WriteMsgQueue(writer, packet, sizeof packet, 0, 0));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(reader, 0));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(reader, 0));  // stays signalled until read

    BYTE buffer[20] = {};
    DWORD read = 0, flags = 99;
    ASSERT_TRUE(ReadMsgQueue(reader, buffer, sizeof buffer, &read, 0, &flags));
    EXPECT_EQ(16u, read);
    EXPECT_EQ(0u, flags);
    EXPECT_EQ(0, std::memcmp(buffer, packet, sizeof packet));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(reader, 0));

    EXPECT_FALSE(ReadMsgQueue(reader, buffer, sizeof buffer, &read, 300, &flags));
    EXPECT_EQ(static_cast<DWORD>(ERROR_TIMEOUT), GetLastError());
    EXPECT_EQ(300u, GetTickCount());
    CloseMsgQueue(writer);
    CloseMsgQueue(reader);
}

TEST_F(MsgQueueTest, FullQueueAndOversizedMessages) {
    MSGQUEUEOPTIONS read_options = QueueOptions(TRUE, 1, 8);
    HANDLE reader = CreateMsgQueue(nullptr, &read_options);
    MSGQUEUEOPTIONS write_options = QueueOptions(FALSE, 0, 0);
    HANDLE writer = OpenMsgQueue(GetCurrentProcess(), reader, &write_options);
    ASSERT_NE(nullptr, writer);

    BYTE big[9] = {};
    EXPECT_FALSE(WriteMsgQueue(writer, big, sizeof big, 0, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());

    BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_TRUE(WriteMsgQueue(writer, eight, sizeof eight, 0, 0));
    EXPECT_FALSE(WriteMsgQueue(writer, eight, sizeof eight, 50, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_TIMEOUT), GetLastError());

    // A short buffer takes what fits, and the message is gone.
    BYTE four[4] = {};
    DWORD read = 0, flags = 0;
    EXPECT_FALSE(ReadMsgQueue(reader, four, sizeof four, &read, 0, &flags));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(4u, read);
    EXPECT_EQ(4, four[3]);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(reader, 0));

    CloseMsgQueue(reader);
    EXPECT_FALSE(WriteMsgQueue(writer, eight, sizeof eight, 0, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PIPE_NOT_CONNECTED), GetLastError());
    CloseMsgQueue(writer);
}

TEST_F(MsgQueueTest, WriteEndOfAQueueNobodyMadeFails) {
    MSGQUEUEOPTIONS write_options = QueueOptions(FALSE, 0, 0);
    EXPECT_EQ(nullptr, CreateMsgQueue(L"RingToneHeadsetSpeakerState", &write_options));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

}  // namespace
}  // namespace tovarin::kernel::testing
