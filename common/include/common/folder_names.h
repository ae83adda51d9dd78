// Folders of the device that the deliverables build their paths from. Paths are joined with a
// backslash ("%s\%s"); the documents folder is the platform's special folder 0.
#pragma once

// The system folder: built-in sounds, the greeting list file, the suite's programs.
inline constexpr wchar_t kFolderWindows[] = L"\\Windows";
// The documents folder as the device names it; the pages recognise a main-memory path by it.
inline constexpr wchar_t kFolderMyDocuments[] = L"\\My Documents";
// Below the documents folder: recorded greetings; the control panel's greeting recorder writes
// them, the answering-machine page and the greeting manager list them.
inline constexpr wchar_t kFolderGreetings[] = L"Мои Приветствия";
// Below the documents folder: recorded background sounds and effects; the control panel's sound
// recorder writes them, the background-effects page lists them.
inline constexpr wchar_t kFolderBackgroundSounds[] = L"Мои Фоновые Звуковые Эффекты";
// Below the documents folder or a storage card's root: the answering machine's recorded
// messages; the control panel stores the folder, the answering recorder program writes into it.
inline constexpr wchar_t kFolderAnswerMachineMessages[] = L"Мой Автоответчик";
// Below the documents folder or a storage card's root: call recordings; the control panel stores
// the folder, the call recorder program writes into it.
inline constexpr wchar_t kFolderCallRecordings[] = L"Мои Телефонные Записи";
// The greeting files as the greeting manager searches them.
inline constexpr wchar_t kFolderGreetingsSearchPattern[] =
    L"\\My Documents\\Мои Приветствия\\*.amr";
