// The shell's registry helpers: results for missing keys and values, values of the wrong type,
// short buffers, and keys given as a root with a path or as an opened key.
#include <cstring>
#include <string>

#include <windows.h>
#include <regext.h>

#include "testing/device_fixture.h"

namespace tovarin::kernel::testing {
namespace {

using RegistryHelpersTest = SimulatedDeviceTest;

constexpr HRESULT kNotFound = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
const wchar_t kPhone[] = L"\\System\\State\\Phone";

HKEY Create(const wchar_t* path) {
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, 0, nullptr, &key, nullptr));
    return key;
}

TEST_F(RegistryHelpersTest, NumbersRoundTripThroughARootAndPathOrAnOpenedKey) {
    RegCloseKey(Create(kPhone));
    EXPECT_EQ(S_OK, RegistrySetDWORD(HKEY_LOCAL_MACHINE, kPhone, L"Active Call Count", 2));
    DWORD count = 0;
    EXPECT_EQ(S_OK, RegistryGetDWORD(HKEY_LOCAL_MACHINE, L"system\\state\\phone",
                                     L"ACTIVE CALL COUNT", &count));
    EXPECT_EQ(2u, count);

    HKEY phone = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPhone, 0, 0, &phone));
    EXPECT_EQ(S_OK, RegistrySetDWORD(phone, nullptr, L"Active Call Count", 3));
    EXPECT_EQ(S_OK, RegistryGetDWORD(phone, nullptr, L"Active Call Count", &count));
    EXPECT_EQ(3u, count);
    EXPECT_EQ(S_OK, RegistrySetDWORD(phone, L"", nullptr, 9));  // the default value
    EXPECT_EQ(S_OK, RegistryGetDWORD(phone, nullptr, L"", &count));
    EXPECT_EQ(9u, count);
    RegCloseKey(phone);
}

TEST_F(RegistryHelpersTest, GettersFailWithoutTouchingTheCallersData) {
    HKEY phone = Create(kPhone);
    const std::wstring number = L"+79001234567";
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExW(phone, L"Incoming Caller Number", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(number.c_str()),
                             static_cast<DWORD>((number.size() + 1) * sizeof(WCHAR))));

    DWORD count = 77;
    EXPECT_EQ(kNotFound, RegistryGetDWORD(phone, nullptr, L"Active Call Count", &count));
    EXPECT_EQ(kNotFound,
              RegistryGetDWORD(HKEY_LOCAL_MACHINE, L"System\\Nowhere", L"Status", &count));
    EXPECT_EQ(E_DATATYPE_MISMATCH,
              RegistryGetDWORD(phone, nullptr, L"Incoming Caller Number", &count));
    EXPECT_EQ(77u, count);

    WCHAR text[50];
    std::wmemset(text, L'#', 50);
    EXPECT_EQ(E_INSUFFICIENT_BUFFER,
              RegistryGetString(phone, nullptr, L"Incoming Caller Number", text, 12));
    EXPECT_EQ(L'#', text[0]);
    EXPECT_EQ(S_OK, RegistryGetString(phone, nullptr, L"Incoming Caller Number", text, 13));
    EXPECT_EQ(number, text);

    DWORD status = 0x20000;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(phone, L"Status", 0, REG_DWORD,
                                            reinterpret_cast<const BYTE*>(&status), 4));
    std::wmemset(text, L'#', 50);
    EXPECT_EQ(E_DATATYPE_MISMATCH, RegistryGetString(phone, nullptr, L"Status", text, 50));
    EXPECT_EQ(kNotFound, RegistryGetString(phone, nullptr, L"Missing", text, 50));
    EXPECT_EQ(L'#', text[0]);
    RegCloseKey(phone);
}

TEST_F(RegistryHelpersTest, SettersNeedTheKeyAndKeepValuesOfAnotherType) {
    EXPECT_EQ(kNotFound,
              RegistrySetDWORD(HKEY_LOCAL_MACHINE, L"Software\\VarnholtCM\\AnswerMachine",
                               L"QuellbrookFound", 1));
    EXPECT_EQ(kNotFound,
              RegistrySetString(HKEY_LOCAL_MACHINE, L"Software\\VarnholtCM\\AnswerMachine",
                                L"QuellbrookPlayFile", L"x"));
    HKEY never = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\VarnholtCM", 0, 0,
                                                  &never));  // nothing was created

    HKEY settings = Create(L"Software\\VarnholtCM\\AnswerMachine");
    EXPECT_EQ(S_OK, RegistrySetString(settings, nullptr, L"QuellbrookPlayFile",
                                      L"\\My Documents\\Привет.amr"));
    DWORD type = 0, size = 0;
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryValueExW(settings, L"QuellbrookPlayFile", nullptr, &type, nullptr, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(25 * sizeof(WCHAR), size);  // with its terminating zero

    EXPECT_EQ(E_DATATYPE_MISMATCH, RegistrySetDWORD(settings, nullptr, L"QuellbrookPlayFile", 1));
    EXPECT_EQ(S_OK, RegistrySetDWORD(settings, nullptr, L"QuellbrookFound", 1));
    EXPECT_EQ(E_DATATYPE_MISMATCH, RegistrySetString(settings, nullptr, L"QuellbrookFound", L"1"));

    WCHAR text[64];
    EXPECT_EQ(S_OK, RegistryGetString(settings, nullptr, L"QuellbrookPlayFile", text, 64));
    EXPECT_EQ(std::wstring(L"\\My Documents\\Привет.amr"), text);
    DWORD found = 0;
    EXPECT_EQ(S_OK, RegistryGetDWORD(settings, nullptr, L"QuellbrookFound", &found));
    EXPECT_EQ(1u, found);
    RegCloseKey(settings);
}

TEST_F(RegistryHelpersTest, InvalidArgumentsAreRefused) {
    HKEY bogus = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x10000F00));
    DWORD value = 0;
    WCHAR text[8];
    EXPECT_EQ(E_INVALIDARG, RegistryGetDWORD(nullptr, nullptr, L"x", &value));
    EXPECT_EQ(E_INVALIDARG, RegistryGetDWORD(HKEY_LOCAL_MACHINE, nullptr, L"x", nullptr));
    EXPECT_EQ(E_INVALIDARG, RegistryGetDWORD(bogus, nullptr, L"x", &value));
    EXPECT_EQ(E_INVALIDARG, RegistryGetString(HKEY_LOCAL_MACHINE, nullptr, L"x", nullptr, 8));
    EXPECT_EQ(E_INVALIDARG, RegistryGetString(bogus, L"sub", L"x", text, 8));
    EXPECT_EQ(E_INVALIDARG, RegistrySetDWORD(nullptr, nullptr, L"x", 1));
    EXPECT_EQ(E_INVALIDARG, RegistrySetString(HKEY_LOCAL_MACHINE, nullptr, L"x", nullptr));
}

}  // namespace
}  // namespace tovarin::kernel::testing
