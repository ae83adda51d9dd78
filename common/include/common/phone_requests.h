// What a device program asks of the phone application itself: the phone's dial pad hands it the
// number to call. The phone's hidden main window takes the request on the phone's own thread.
#pragma once

#include <cstdint>

// Class of the phone application's hidden main window.
inline constexpr wchar_t kWindowClassPhoneApplication[] = L"PhoneApplication";
// Sent (never posted: the number lives only as long as the send) to that window: lParam points to
// the number to dial, a NUL-terminated string (a SIP address "sip:user@host:port" on a phone with
// a SIP line); wParam is 0. The result is 1 when the call is being dialled, 0 when the phone
// refused it (a call is present already, no number, no line reaches the address).
inline constexpr uint32_t kMessagePhoneDial = 0x8000 + 3;  // WM_APP + 3
