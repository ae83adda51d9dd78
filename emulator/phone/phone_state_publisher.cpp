#include "phone/phone_state_publisher.h"

#include <windows.h>

#include "common/names.h"

namespace tovarin::emulator::phone {
namespace {

bool SetDword(HKEY key, const wchar_t* name, DWORD value) {
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

bool SetString(HKEY key, const wchar_t* name, const std::wstring& text) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

bool PublishPhoneState(const PhoneState& state) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKeyPhoneState, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    bool written = SetDword(key, kValueActiveCallCount, state.active_calls) &&
                   SetString(key, kValueIncomingCallerNumber, state.caller_number) &&
                   SetDword(key, kValuePhoneStatus, state.status);
    RegCloseKey(key);
    return written;
}

}  // namespace tovarin::emulator::phone
