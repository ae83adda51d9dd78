// Windows by which the deliverables find the phone's and the outside programs' windows, and the
// messages they send them.
#pragma once

#include <cstdint>

// Class of the phone's call dialog and of the outside recorder programs' main windows.
inline constexpr wchar_t kWindowClassDialog[] = L"Dialog";
// Class of the shell's taskbar; the answering service sends it the ring-mode message.
inline constexpr wchar_t kWindowClassTaskBar[] = L"HHTaskBar";

// Title of the answering recorder program's window (the answering service's string 1001); the
// answering service closes that window with WM_COMMAND kCommandCloseAnsweringRecorder.
inline constexpr wchar_t kWindowTitleAnsweringRecorder[] = L"Автоответчик";
// Title of the call recorder program's window (the call-recording service's string 1001); the
// call-recording service stops the recording with WM_KEYDOWN kVirtualKeyRecord.
inline constexpr wchar_t kWindowTitleCallRecorder[] = L"Телефонный Записи";

// WM_COMMAND identifier that makes the answering recorder program end.
inline constexpr uint32_t kCommandCloseAnsweringRecorder = 2;
// The hardware record key: the call-recording service registers it as a hot key on the call
// dialog and forwards it (WM_KEYDOWN) to the call recorder program as its stop key.
inline constexpr uint32_t kVirtualKeyRecord = 0x8B;
// Message to the taskbar by which the answering service makes the shell apply the ring mode
// again; sent with wParam kMessageReapplyShellModeWParam and lParam 0.
inline constexpr uint32_t kMessageReapplyShellMode = 0x0484;
inline constexpr uint32_t kMessageReapplyShellModeWParam = 2;

// Strings of the phone's resource library (kLibraryPhoneResources) by which the services
// recognise the phone's call dialog: the dialog's title as the answering service compares it,
// the same title as the call-recording service compares it (the phone gives both the dialog's
// title), and the text of one of the dialog's children.
inline constexpr uint32_t kPhoneStringCallDialogTitle = 22403;
inline constexpr uint32_t kPhoneStringCallDialogTitleForRecording = 22387;
inline constexpr uint32_t kPhoneStringCallDialogChild = 22601;
