#include <windows.h>

#include <cstring>
#include <string>

#include "testing/image_device.h"

namespace tovarin::kernel::testing {
namespace {

class FileIoTest : public ImageDeviceTest {
  protected:
    HANDLE Open(const wchar_t* path, DWORD access, DWORD share, DWORD disposition) {
        return CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    }
    void Write(HANDLE file, const std::string& text) {
        DWORD written = 0;
        ASSERT_TRUE(
            WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
        ASSERT_EQ(written, text.size());
    }
    std::string Read(HANDLE file, DWORD count) {
        std::string buffer(count, '\0');
        DWORD read = 0;
        EXPECT_TRUE(ReadFile(file, buffer.data(), count, &read, nullptr));
        buffer.resize(read);
        return buffer;
    }
};

TEST_F(FileIoTest, RoundTripThroughPathsOfOtherLetterCase) {
    image_.AddFolder("My Documents/Записи");
    HANDLE file =
        Open(L"\\my documents\\ЗАПИСИ\\Call.amr", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    Write(file, "#!AMR\nheader-and-frames");

    EXPECT_EQ(SetFilePointer(file, 6, nullptr, FILE_BEGIN), 6u);
    EXPECT_EQ(Read(file, 6), "header");
    EXPECT_EQ(SetFilePointer(file, -6, nullptr, FILE_END), 17u);
    EXPECT_EQ(Read(file, 100), "frames");
    EXPECT_EQ(Read(file, 10), "");  // at the end: success with no bytes
    DWORD high = 7;
    EXPECT_EQ(GetFileSize(file, &high), 23u);
    EXPECT_EQ(high, 0u);
    EXPECT_TRUE(FlushFileBuffers(file));
    EXPECT_TRUE(CloseHandle(file));

    // The file landed in the folder's existing spelling, under the name as written.
    EXPECT_EQ(HostContent("My Documents/Записи/Call.amr"), "#!AMR\nheader-and-frames");
    HANDLE again = Open(L"MY DOCUMENTS/записи/CALL.AMR", GENERIC_READ, 0, OPEN_EXISTING);
    ASSERT_NE(again, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Read(again, 5), "#!AMR");
    CloseHandle(again);
}

TEST_F(FileIoTest, DispositionsReportExistingFilesAsDocumented) {
    image_.AddFile("a.txt", "old content");

    EXPECT_EQ(Open(L"\\a.txt", GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));

    HANDLE always = Open(L"\\A.TXT", GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(always, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(GetFileSize(always, nullptr), 0u);  // truncated
    Write(always, "new");
    CloseHandle(always);

    HANDLE open_always = Open(L"\\a.txt", GENERIC_READ, 0, OPEN_ALWAYS);
    ASSERT_NE(open_always, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(Read(open_always, 10), "new");  // kept
    CloseHandle(open_always);

    HANDLE created = Open(L"\\b.txt", GENERIC_WRITE, 0, OPEN_ALWAYS);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    CloseHandle(created);

    HANDLE truncated = Open(L"\\a.txt", GENERIC_WRITE, 0, TRUNCATE_EXISTING);
    ASSERT_NE(truncated, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(truncated, nullptr), 0u);
    CloseHandle(truncated);
}

TEST_F(FileIoTest, MissingFileAndMissingFolderAreToldApart) {
    image_.AddFolder("Windows");
    EXPECT_EQ(Open(L"\\Windows\\none.txt", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Open(L"\\Nowhere\\none.txt", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(Open(L"\\Nowhere\\new.txt", GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(Open(L"\\Windows\\*.txt", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_EQ(Open(L"\\Windows", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(std::filesystem::exists(Host("Nowhere")));
}

TEST_F(FileIoTest, SharingModesAreEnforcedAcrossHandles) {
    image_.AddFile("shared.txt", "x");
    HANDLE reader = Open(L"\\shared.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);

    HANDLE second_reader = Open(L"\\SHARED.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_NE(second_reader, INVALID_HANDLE_VALUE);
    // A writer is refused: the open handles do not share writing.
    EXPECT_EQ(
        Open(L"\\shared.txt", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING),
        INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    // A truncating open is refused before it truncates anything.
    EXPECT_EQ(Open(L"\\shared.txt", GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(HostContent("shared.txt"), "x");
    // A reader that does not share reading conflicts with the readers already there.
    EXPECT_EQ(Open(L"\\shared.txt", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);

    CloseHandle(reader);
    CloseHandle(second_reader);
    HANDLE writer = Open(L"\\shared.txt", GENERIC_WRITE, 0, OPEN_EXISTING);
    EXPECT_NE(writer, INVALID_HANDLE_VALUE);
    CloseHandle(writer);
}

TEST_F(FileIoTest, AccessIsCheckedPerHandleAndForReadOnlyFiles) {
    image_.AddFile("ro.txt", "keep");
    ASSERT_TRUE(SetFileAttributesW(L"\\ro.txt", FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Open(L"\\ro.txt", GENERIC_WRITE, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Open(L"\\ro.txt", GENERIC_READ, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(HostContent("ro.txt"), "keep");

    HANDLE reader = Open(L"\\ro.txt", GENERIC_READ, 0, OPEN_EXISTING);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    DWORD written = 99;
    EXPECT_FALSE(WriteFile(reader, "x", 1, &written, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(written, 0u);
    EXPECT_FALSE(FlushFileBuffers(reader));
    CloseHandle(reader);

    HANDLE writer = Open(L"\\w.txt", GENERIC_WRITE, 0, CREATE_NEW);
    char byte = 0;
    DWORD read = 99;
    EXPECT_FALSE(ReadFile(writer, &byte, 1, &read, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(read, 0u);
    CloseHandle(writer);
}

TEST_F(FileIoTest, FilePointerMovesAsDocumented) {
    HANDLE file = Open(L"\\p.bin", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
    Write(file, "0123456789");

    EXPECT_EQ(SetFilePointer(file, 4, nullptr, FILE_BEGIN), 4u);
    EXPECT_EQ(SetFilePointer(file, -5, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 4u);  // did not move

    EXPECT_EQ(SetFilePointer(file, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    // With a high part the distance is 64-bit and the new high part comes back.
    LONG high = 0;
    EXPECT_EQ(SetFilePointer(file, 2, &high, FILE_END), 12u);
    EXPECT_EQ(high, 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    Write(file, "AB");  // past the end: the gap reads as zeros
    EXPECT_EQ(HostContent("p.bin"), std::string("0123456789\0\0AB", 14));

    high = -1;  // -1 as a 64-bit distance from the current position
    EXPECT_EQ(SetFilePointer(file, -1, &high, FILE_CURRENT), 13u);
    EXPECT_EQ(high, 0);
    CloseHandle(file);
}

TEST_F(FileIoTest, ClosedAndForeignHandlesAreInvalid) {
    HANDLE file = Open(L"\\c.txt", GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_TRUE(CloseHandle(file));
    DWORD written = 0;
    EXPECT_FALSE(WriteFile(file, "x", 1, &written, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetFileSize(file, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(SetFilePointer(event, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    CloseHandle(event);

    // The handle is gone, so is its sharing: the file can be deleted.
    EXPECT_TRUE(DeleteFileW(L"\\c.txt"));
}

}  // namespace
}  // namespace tovarin::kernel::testing
