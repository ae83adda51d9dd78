// The registry API as the deliverables call it: keys, values, sizes, enumeration, deletion and
// the results of each failure.
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

#include "testing/device_fixture.h"

namespace tovarin::kernel::testing {
namespace {

using RegistryApiTest = SimulatedDeviceTest;

HKEY CreateKey(HKEY root, const wchar_t* path, DWORD* disposition = nullptr) {
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(root, path, 0, nullptr, 0, 0, nullptr, &key, disposition));
    return key;
}

LONG SetDword(HKEY key, const wchar_t* name, DWORD value) {
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value);
}

LONG SetString(HKEY key, const wchar_t* name, const std::wstring& text) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
}

TEST_F(RegistryApiTest, CreateMakesTheMissingKeysAndTellsWhetherItCreated) {
    DWORD disposition = 0;
    HKEY settings =
        CreateKey(HKEY_LOCAL_MACHINE, L"\\Software\\VarnholtCM\\My Setting", &disposition);
    EXPECT_EQ(static_cast<DWORD>(REG_CREATED_NEW_KEY), disposition);
    const uintptr_t value = reinterpret_cast<uintptr_t>(settings);
    EXPECT_GE(value, 0x10000000u);
    EXPECT_LT(value, 0x20000000u);
    EXPECT_EQ(0u, value % 4);

    HKEY again = CreateKey(HKEY_LOCAL_MACHINE, L"software\\varnholtcm\\MY SETTING", &disposition);
    EXPECT_EQ(static_cast<DWORD>(REG_OPENED_EXISTING_KEY), disposition);
    EXPECT_NE(settings, again);  // every open is a handle of its own

    HKEY intermediate = nullptr;
    EXPECT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\VarnholtCM", 0, 0, &intermediate));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(intermediate));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(settings));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(again));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(again));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(HKEY_LOCAL_MACHINE));  // roots stay usable
}

TEST_F(RegistryApiTest, PathsIgnoreCaseAndTheLeadingBackslashAndKeepTheFirstSpelling) {
    RegCloseKey(CreateKey(HKEY_LOCAL_MACHINE, L"System\\State\\Phone"));
    RegCloseKey(CreateKey(HKEY_CURRENT_USER, L"\\Настройки\\Ёлка"));

    for (const wchar_t* path : {L"\\System\\State\\Phone", L"System\\State\\Phone",
                                L"SYSTEM\\state\\pHONE", L"\\system\\State\\phone\\"}) {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, 0, &key)) << path;
        RegCloseKey(key);
    }
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, L"НАСТРОЙКИ\\ёЛКА", 0, 0, &key));
    RegCloseKey(key);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExW(HKEY_CURRENT_USER, L"Настройки\\Елка", 0, 0, &key));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Настройки", 0, 0, &key));  // other root

    // The key keeps the spelling it was created with.
    RegCloseKey(CreateKey(HKEY_LOCAL_MACHINE, L"SYSTEM\\STATE\\PHONE\\Line"));
    HKEY system = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"system", 0, 0, &system));
    WCHAR name[16];
    DWORD length = 16;
    ASSERT_EQ(ERROR_SUCCESS,
              RegEnumKeyExW(system, 0, name, &length, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(std::wstring(L"State"), name);
    EXPECT_EQ(5u, length);
    RegCloseKey(system);
}

TEST_F(RegistryApiTest, QueriesReportSizesTypesAndShortBuffers) {
    HKEY phone = CreateKey(HKEY_LOCAL_MACHINE, L"System\\State\\Phone");
    ASSERT_EQ(ERROR_SUCCESS, SetString(phone, L"Incoming Caller Number", L"+79001234567"));
    const DWORD text_bytes = 13 * sizeof(WCHAR);

    DWORD type = 0, size = 0;
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryValueExW(phone, L"incoming caller number", nullptr, &type, nullptr, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(text_bytes, size);

    WCHAR small[4] = {L'x', L'x', L'x', L'x'};
    size = sizeof small;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExW(phone, L"Incoming Caller Number", nullptr, &type,
                                                reinterpret_cast<BYTE*>(small), &size));
    EXPECT_EQ(text_bytes, size);  // the size needed

    WCHAR number[32] = {};
    size = sizeof number;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(phone, L"Incoming Caller Number", nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(number), &size));
    EXPECT_EQ(std::wstring(L"+79001234567"), number);
    EXPECT_EQ(text_bytes, size);

    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(phone, L"Incoming Caller Number", nullptr, nullptr,
                                              nullptr, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegQueryValueExW(phone, L"Incoming Caller Number", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(number), nullptr));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegQueryValueExW(phone, L"Active Call Count", nullptr, &type, nullptr, &size));

    // Same data again, then new type and size: the value follows the last write.
    ASSERT_EQ(ERROR_SUCCESS, SetDword(phone, L"Incoming Caller Number", 7));
    DWORD count = 0;
    size = sizeof count;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(phone, L"INCOMING CALLER NUMBER", nullptr, &type,
                                              reinterpret_cast<BYTE*>(&count), &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(7u, count);
    EXPECT_EQ(4u, size);
    RegCloseKey(phone);
}

TEST_F(RegistryApiTest, TheDefaultValueHasTheEmptyName) {
    HKEY key = CreateKey(HKEY_CURRENT_USER, L"Software\\Default");
    ASSERT_EQ(ERROR_SUCCESS, SetDword(key, nullptr, 3));
    DWORD value = 0, size = sizeof value;
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryValueExW(key, L"", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size));
    EXPECT_EQ(3u, value);
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueW(key, L""));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValueW(key, nullptr));
    RegCloseKey(key);
}

TEST_F(RegistryApiTest, DeletingAKeyTakesItsSubkeysAndInvalidatesOpenHandles) {
    HKEY deep = CreateKey(HKEY_LOCAL_MACHINE, L"Software\\Gone\\Deeper\\Deepest");
    ASSERT_EQ(ERROR_SUCCESS, SetDword(deep, L"v", 1));
    HKEY gone = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Gone", 0, 0, &gone));

    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"software\\GONE"));

    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Gone", 0, 0, &key));
    DWORD value = 0, size = sizeof value;
    EXPECT_EQ(ERROR_KEY_DELETED, RegQueryValueExW(deep, L"v", nullptr, nullptr,
                                                  reinterpret_cast<BYTE*>(&value), &size));
    EXPECT_EQ(ERROR_KEY_DELETED, SetDword(deep, L"v", 2));
    EXPECT_EQ(ERROR_KEY_DELETED,
              RegCreateKeyExW(gone, L"Again", 0, nullptr, 0, 0, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(deep));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(gone));

    // A new key of the same name is a different key.
    HKEY reborn = CreateKey(HKEY_LOCAL_MACHINE, L"Software\\Gone\\Deeper\\Deepest");
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegQueryValueExW(reborn, L"v", nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(reborn);

    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\Never"));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegDeleteKeyW(HKEY_LOCAL_MACHINE, L""));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegDeleteKeyW(HKEY_LOCAL_MACHINE, nullptr));
}

TEST_F(RegistryApiTest, EnumerationWalksKeysAndValuesInCreationOrder) {
    HKEY parent = CreateKey(HKEY_LOCAL_MACHINE, L"Software\\Enum");
    RegCloseKey(CreateKey(parent, L"Второй"));
    RegCloseKey(CreateKey(parent, L"A"));
    ASSERT_EQ(ERROR_SUCCESS, SetDword(parent, L"First", 1));
    ASSERT_EQ(ERROR_SUCCESS, SetString(parent, L"Second", L"two"));

    WCHAR name[32];
    DWORD length = 32;
    ASSERT_EQ(ERROR_SUCCESS,
              RegEnumKeyExW(parent, 0, name, &length, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(std::wstring(L"Второй"), name);
    length = 32;
    ASSERT_EQ(ERROR_SUCCESS,
              RegEnumKeyExW(parent, 1, name, &length, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(std::wstring(L"A"), name);
    length = 32;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS,
              RegEnumKeyExW(parent, 2, name, &length, nullptr, nullptr, nullptr, nullptr));
    length = 6;  // "Второй" needs 7 with its terminating zero
    EXPECT_EQ(ERROR_MORE_DATA,
              RegEnumKeyExW(parent, 0, name, &length, nullptr, nullptr, nullptr, nullptr));

    DWORD type = 0, size = 0;
    length = 32;
    ASSERT_EQ(ERROR_SUCCESS,
              RegEnumValueW(parent, 1, name, &length, nullptr, &type, nullptr, &size));
    EXPECT_EQ(std::wstring(L"Second"), name);
    EXPECT_EQ(6u, length);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(4 * sizeof(WCHAR), size);

    BYTE data[4];
    size = 2;
    length = 32;
    EXPECT_EQ(ERROR_MORE_DATA,
              RegEnumValueW(parent, 0, name, &length, nullptr, &type, data, &size));
    EXPECT_EQ(4u, size);
    length = 5;  // "First" needs 6
    size = sizeof data;
    EXPECT_EQ(ERROR_MORE_DATA,
              RegEnumValueW(parent, 0, name, &length, nullptr, &type, data, &size));
    length = 32;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS,
              RegEnumValueW(parent, 2, name, &length, nullptr, &type, data, &size));
    RegCloseKey(parent);
}

TEST_F(RegistryApiTest, BadHandlesAndArgumentsFailWithTheDocumentedCodes) {
    HKEY bogus = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x10001234));
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegOpenKeyExW(bogus, L"x", 0, 0, &key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, SetDword(bogus, L"x", 1));
    EXPECT_EQ(ERROR_INVALID_HANDLE,
              RegQueryValueExW(bogus, L"x", nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegOpenKeyExW(HKEY_CLASSES_ROOT, L"x", 0, 0, &key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegFlushKey(bogus));
    EXPECT_EQ(ERROR_SUCCESS, RegFlushKey(HKEY_LOCAL_MACHINE));

    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegSetValueExW(HKEY_LOCAL_MACHINE, L"x", 0, REG_BINARY, nullptr, 4));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"x", 0, 0, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegCreateKeyExW(HKEY_LOCAL_MACHINE, std::wstring(256, L'k').c_str(), 0, nullptr, 0, 0,
                              nullptr, &key, nullptr));
}

TEST_F(RegistryApiTest, NamesAndDepthStayWithinThePhonesLimits) {
    // Keys nest 16 levels below a root, counted from the root whatever key the call starts at.
    std::wstring sixteen;
    for (int level = 1; level <= 16; ++level) {
        sixteen += L"\\L" + std::to_wstring(level);
    }
    HKEY deepest = CreateKey(HKEY_CURRENT_USER, sixteen.c_str());
    ASSERT_NE(deepest, nullptr);
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegCreateKeyExW(deepest, L"L17", 0, nullptr, 0, 0, nullptr, &key, nullptr));
    HKEY eighth = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_CURRENT_USER, L"L1\\L2\\L3\\L4\\L5\\L6\\L7\\L8", 0, 0, &eighth));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCreateKeyExW(eighth, L"A\\B\\C\\D\\E\\F\\G\\H\\I", 0,
                                                       nullptr, 0, 0, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(eighth, L"A", 0, 0, &key));  // nothing made
    EXPECT_EQ(ERROR_SUCCESS, SetDword(deepest, std::wstring(255, L'v').c_str(), 1));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, SetDword(deepest, std::wstring(256, L'v').c_str(), 1));
    RegCloseKey(eighth);
    RegCloseKey(deepest);
}

TEST_F(RegistryApiTest, ManyThreadsUseTheRegistryAtOnce) {
    constexpr int kThreads = 4;
    constexpr DWORD kWrites = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            const std::wstring path = L"Software\\Threads\\T" + std::to_wstring(t);
            HKEY own = CreateKey(HKEY_LOCAL_MACHINE, path.c_str());
            for (DWORD i = 1; i <= kWrites; ++i) {
                SetDword(own, L"Counter", i);
                HKEY other = nullptr;
                const std::wstring next = L"Software\\Threads\\T" + std::to_wstring((t + 1) % 4);
                if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, next.c_str(), 0, 0, &other) ==
                    ERROR_SUCCESS) {
                    RegQueryValueExW(other, L"Counter", nullptr, nullptr, nullptr, nullptr);
                    RegCloseKey(other);
                }
            }
            RegCloseKey(own);
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    HKEY parent = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Threads", 0, 0, &parent));
    for (int t = 0; t < kThreads; ++t) {
        const std::wstring name = L"T" + std::to_wstring(t);
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(parent, name.c_str(), 0, 0, &key));
        DWORD value = 0, size = sizeof value;
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, L"Counter", nullptr, nullptr,
                                                  reinterpret_cast<BYTE*>(&value), &size));
        EXPECT_EQ(kWrites, value);
        RegCloseKey(key);
    }
    RegCloseKey(parent);
}

}  // namespace
bool Signalled(HANDLE notify) {
    return WaitForSingleObject(notify, 0) == WAIT_OBJECT_0;
}

TEST_F(RegistryApiTest, AKeyChangeNotificationHearsOfItsValuesAndSubkeysUntilClosed) {
    HKEY answering = CreateKey(HKEY_LOCAL_MACHINE, L"Software\\VarnholtCM\\AnswerMachine");
    HKEY other = CreateKey(HKEY_LOCAL_MACHINE, L"Software\\VarnholtCM\\Callisk");
    HANDLE key =
        CeFindFirstRegChange(answering, FALSE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET);
    HANDLE values = CeFindFirstRegChange(answering, FALSE, REG_NOTIFY_CHANGE_LAST_SET);
    HANDLE tree = CeFindFirstRegChange(HKEY_LOCAL_MACHINE, TRUE, REG_NOTIFY_CHANGE_LAST_SET);
    ASSERT_NE(INVALID_HANDLE_VALUE, key);
    ASSERT_NE(INVALID_HANDLE_VALUE, values);
    ASSERT_NE(INVALID_HANDLE_VALUE, tree);

    // Another key's value: only the watch of the whole tree hears of it.
    ASSERT_EQ(ERROR_SUCCESS, SetDword(other, L"Handle", 1));
    EXPECT_FALSE(Signalled(key));
    EXPECT_TRUE(Signalled(tree));
    EXPECT_TRUE(CeFindNextRegChange(tree));
    EXPECT_FALSE(Signalled(tree));

    // A value of the key, new and then deleted; each wakes it again once re-armed.
    ASSERT_EQ(ERROR_SUCCESS, SetDword(answering, L"Enable", 1));
    EXPECT_TRUE(Signalled(key));
    EXPECT_TRUE(Signalled(values));
    EXPECT_TRUE(CeFindNextRegChange(key));
    EXPECT_TRUE(CeFindNextRegChange(values));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueW(answering, L"Enable"));
    EXPECT_TRUE(Signalled(key));
    EXPECT_TRUE(CeFindNextRegChange(key));
    EXPECT_TRUE(CeFindNextRegChange(values));

    // A subkey created and deleted is a change of names: not of values.
    RegCloseKey(CreateKey(answering, L"Greetings\\Caller"));
    EXPECT_TRUE(Signalled(key));
    EXPECT_FALSE(Signalled(values));
    EXPECT_TRUE(CeFindNextRegChange(key));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(answering, L"Greetings"));
    EXPECT_TRUE(Signalled(key));
    EXPECT_FALSE(Signalled(values));

    // Closed, a watch hears nothing more and its handle is no watch's.
    EXPECT_TRUE(CeFindCloseRegChange(key));
    EXPECT_FALSE(CeFindNextRegChange(key));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_TRUE(CeFindCloseRegChange(values));
    EXPECT_TRUE(CeFindCloseRegChange(tree));
    EXPECT_EQ(INVALID_HANDLE_VALUE, CeFindFirstRegChange(answering, FALSE, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, CeFindFirstRegChange(reinterpret_cast<HKEY>(0x10000404), FALSE,
                                                         REG_NOTIFY_CHANGE_LAST_SET));
    RegCloseKey(answering);
    RegCloseKey(other);
}

}  // namespace tovarin::kernel::testing
