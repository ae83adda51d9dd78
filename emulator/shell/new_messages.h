// The answering machine's new messages, as the Today screen counts them: the recordings (*.amr)
// in its "SaveDir" (HKLM\Software\VarnholtCM\AnswerMachine; \My Documents when "NONE" or missing,
// as the answering recorder reads it) written after the last look. The last look is the write time
// of the newest recording there when the user last opened the voicemail program from the Today
// screen, kept in the image's registry (HKCU\Software\Tovarin\Shell "MessagesSeen") so that it
// outlives the device. Device code's calls: on a device thread.
#pragma once

#include <windows.h>

namespace tovarin::emulator::phone_shell {

inline constexpr wchar_t kKeyShell[] = L"\\Software\\Tovarin\\Shell";
inline constexpr wchar_t kValueMessagesSeen[] = L"MessagesSeen";

DWORD NewMessageCount();
// The user looks at the messages: those there now are no longer new.
void MarkMessagesSeen();

}  // namespace tovarin::emulator::phone_shell
