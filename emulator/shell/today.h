// The Today screen: the phone's desktop, a full-screen window ("Сегодня", class "Today") under
// every other window, on the taskbar's thread. Its rows are children, top down: the time, the
// date, the owner's name ("Name" of HKCU\ControlPanel\Owner; hidden when not set), the missed
// calls ("Пропущенные вызовы: N", the history's unseen missed calls) and the answering machine's
// new messages ("Новые сообщения: N", new_messages.h). A tap on the missed calls opens the call
// history (call_history_window.h), which clears the count; a tap on the messages starts the
// voicemail program and makes the messages there seen. The rows are rewritten when the screen
// changes (a call ends, a recorder closes, a window goes), and for the clock at each minute in
// real time or when the console has let simulated time pass (RefreshToday).
#pragma once

#include <windows.h>

namespace tovarin::emulator::phone_shell {

inline constexpr int kTodayTimeId = 300;
inline constexpr int kTodayDateId = 301;
inline constexpr int kTodayOwnerId = 302;
inline constexpr int kTodayMissedCallsId = 303;
inline constexpr int kTodayMessagesId = 304;

inline constexpr wchar_t kKeyOwner[] = L"\\ControlPanel\\Owner";
inline constexpr wchar_t kValueOwnerName[] = L"Name";

// Registers the screen's classes; on the taskbar's thread before the screen is made.
bool RegisterTodayClasses();

// Device boot, on the taskbar's thread: makes the Today screen and shows it in front. False when
// it cannot be made.
bool MakeToday();

// Has the screen look at the clock and its counts again, as the taskbar does whenever something
// on the screen changes; on the taskbar's thread.
void RefreshToday();

// Brings the Today screen to the front, as the Start menu's "Сегодня" does.
void ShowToday();

}  // namespace tovarin::emulator::phone_shell
