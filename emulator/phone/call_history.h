// The phone's call history: the calls that have ended, newest first, kept in the registry of the
// image (HKCU\Software\Tovarin\CallHistory) so that it outlives the device, and bounded to the
// latest kCallHistoryLimit calls. Each entry is a value "0" (the newest) to "19" of the form
// "missed 2026-12-07 09:41:00 5550001" (the number last: empty when withheld). "Unseen" counts the
// missed calls since the history was last looked at; the Today screen shows it.
// Device code's calls: on a device thread of the booted phone.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace tovarin::emulator::phone {

inline constexpr size_t kCallHistoryLimit = 20;
inline constexpr wchar_t kKeyCallHistory[] = L"\\Software\\Tovarin\\CallHistory";

enum class CallDirection { Incoming, Missed, Outgoing };

struct CallRecord {
    CallDirection direction = CallDirection::Incoming;
    SYSTEMTIME started{};  // local time: when it connected, or when a missed call stopped ringing
    std::wstring number;   // as the caller gave it; empty when withheld

    bool operator==(const CallRecord& other) const;
};

// A call has ended: it goes first in the history, and the oldest past the limit goes. A missed
// call adds one to the unseen count. `talked_ms` is how long the call was connected, so that
// the entry keeps the time at which it started. False when the registry cannot be written.
bool RecordCallInHistory(CallDirection direction, const std::wstring& number, DWORD talked_ms);

// The history, newest first; an entry that cannot be read is left out.
std::vector<CallRecord> ReadCallHistory();

// The missed calls since the history was last looked at, and the look that clears them.
DWORD UnseenMissedCalls();
void MarkCallHistorySeen();

// An entry's text and back (for the registry and its test).
std::wstring CallRecordText(const CallRecord& record);
std::optional<CallRecord> ParseCallRecord(const std::wstring& text);

}  // namespace tovarin::emulator::phone
