// How the device's service host finds its services: one key per service under HKLM\Services,
// holding the library's file name and the prefix of its entry points (XXX_Init ...). The host
// loads them in the order of the keys.
#pragma once

namespace tovarin::emulator {

inline constexpr wchar_t kKeyServices[] = L"\\Services";
// SZ, the library's file name, looked for as LoadLibraryW looks for it ("Ansley.dll").
inline constexpr wchar_t kValueServiceDll[] = L"Dll";
// SZ, the prefix of the library's entry points ("AMS" for AMS_Init).
inline constexpr wchar_t kValueServicePrefix[] = L"Prefix";

}  // namespace tovarin::emulator
