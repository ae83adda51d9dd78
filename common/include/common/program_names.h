// Programs and libraries: the suite's deliverables as the device hosts them, the outside
// programs and libraries that the suite starts or calls, and the help documents.
#pragma once

#include <cstdint>

// ---------------------------------------------------------------------------------------------
// The suite's own modules
// ---------------------------------------------------------------------------------------------

// Answering-machine service library; the service host loads it with the prefix below.
inline constexpr wchar_t kLibraryAnsley[] = L"Ansley.dll";
inline constexpr wchar_t kServicePrefixAnsley[] = L"AMS";
// Call-recording service library; the service host loads it with the prefix below.
inline constexpr wchar_t kLibraryCallisk[] = L"Callisk.dll";
inline constexpr wchar_t kServicePrefixCallisk[] = L"CRS";
// Device-event listener service library; the service host loads it with the prefix below.
inline constexpr wchar_t kLibraryWexmoor[] = L"Wexmoor.dll";
inline constexpr wchar_t kServicePrefixWexmoor[] = L"EVL";
// Control-panel applet library; the control-panel host loads it and calls CPlApplet.
inline constexpr wchar_t kLibraryMarrowfen[] = L"Marrowfen.dll";
// The greeting manager as the control panel starts it.
inline constexpr wchar_t kProgramQuellbrooks[] = L"\\Windows\\Quellbrooks.exe";
// The greeting manager's file name, as the control panel asks whether it already runs.
inline constexpr wchar_t kProgramQuellbrooksFileName[] = L"Quellbrooks.exe";

// ---------------------------------------------------------------------------------------------
// Outside programs
// ---------------------------------------------------------------------------------------------

// Answering recorder: started by the answering service without a path (the platform's search
// rules find it) and without a command line; plays the greeting and takes the message.
inline constexpr wchar_t kProgramOxbane[] = L"Oxbane.exe";
// Call recorder: started by the call-recording service without a command line.
inline constexpr wchar_t kProgramDrumlet[] = L"\\Windows\\Drumlet.exe";
// Voicemail program: started by the answering-machine page.
inline constexpr wchar_t kProgramVoicemail[] =
    L"\\Program Files\\VarnholtCM\\Voicemail\\Voicemail.exe";
// The platform's help viewer: started by the settings pages with a help document as the
// command line.
inline constexpr wchar_t kProgramHelpViewer[] = L"peghelp.exe";
// The control-panel host: loads a control-panel library and opens an applet of it, the command
// line naming them ("Marrowfen.dll,1,0"). The Start menu's Settings and the console start it.
inline constexpr wchar_t kProgramControlPanelHost[] = L"\\Windows\\ctlpnl.exe";
// A program of the device during which the control panel declines to open (asked through
// kExportVerifyRunProcess).
inline constexpr wchar_t kProgramHopper[] = L"hopper.exe";

// ---------------------------------------------------------------------------------------------
// Outside libraries and their exports
// ---------------------------------------------------------------------------------------------

// The phone's resource library (platform version 5.1): strings that identify the call dialog.
inline constexpr wchar_t kLibraryPhoneResources[] = L"\\Windows\\tapres.dll";
// The phone's language resource file (platform version 5.2), formatted with the user's interface
// language as four lower-case hexadecimal digits: 0x0419 gives \Windows\tapres.DLL.0419.mui.
inline constexpr wchar_t kLibraryPhoneResourcesMuiFormat[] = L"\\Windows\\tapres.DLL.%04x.mui";
// The device's core library; the call-recording service looks up kExportUnregisterFunc1 in it.
inline constexpr wchar_t kLibraryCore[] = L"coredll.dll";
// Releases a hot key registered on a window of another owner; called with (modifiers, key).
inline constexpr wchar_t kExportUnregisterFunc1[] = L"UnregisterFunc1";
// The maker's support library; the control panel imports kExportVerifyRunProcess from it.
inline constexpr wchar_t kLibraryPellax[] = L"Pellax.dll";
// Takes an executable's file name and returns 1 when that program is running.
inline constexpr wchar_t kExportVerifyRunProcess[] = L"VerifyRunProcess";
// The maker's theme library; the device-event listener imports kExportInitializeThemeNotify.
inline constexpr wchar_t kLibraryGlimmerset[] = L"Glimmerset.dll";
// Takes no arguments; its result is not used.
inline constexpr wchar_t kExportInitializeThemeNotify[] = L"InitializeThemeNotify";
// The platform library that answers the first-storage-card query, by ordinal.
inline constexpr wchar_t kLibraryNoteProject[] = L"Note_prj.dll";
// Ordinal of the first-storage-card query in kLibraryNoteProject: takes a file-find record and
// returns a search handle or the invalid-handle value.
inline constexpr uint32_t kOrdinalFindFirstStorageCard = 7;

// ---------------------------------------------------------------------------------------------
// Help documents, the help viewer's command line for each settings page
// ---------------------------------------------------------------------------------------------

// Help of the answering-machine page.
inline constexpr wchar_t kHelpAnswerMachine[] = L"file:\\Windows\\AnswerMachine.htm#Main_Contents";
// Help of the background-effects page.
inline constexpr wchar_t kHelpBackgroundMix[] = L"file:\\Windows\\BackgroundMix.htm#Main_Contents";
// Help of the call-recording page.
inline constexpr wchar_t kHelpCallisk[] = L"file:\\Windows\\Callisk.htm#Main_Contents";
// Help of the phone settings page.
inline constexpr wchar_t kHelpPhoneSettings[] = L"file:\\Windows\\PhoneSettings.htm#Main_Contents";
