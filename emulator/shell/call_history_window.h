// The call history window ("Журнал звонков", class "CallHistory"), on the taskbar's thread: a
// full-screen window with the shell's OK button and a list (control kCallHistoryListId) of the
// phone's calls, newest first, one line each: the date and time, "Входящий", "Пропущенный" or
// "Исходящий", and the contact's name with the number in brackets when \My Documents\Contacts.vcf
// has it ("Номер скрыт" for a withheld number). Opening it makes the missed calls seen.
#pragma once

namespace tovarin::emulator::phone_shell {

inline constexpr int kCallHistoryListId = 400;

// Registers the window's class; on the taskbar's thread.
bool RegisterCallHistoryClasses();

// Opens the window in front (a fresh one: the history is read again).
void OpenCallHistory();

}  // namespace tovarin::emulator::phone_shell
