#include "console/help.h"

#include "console/input_commands.h"

namespace tovarin::emulator::console {

std::vector<std::string> HelpLines() {
    std::vector<std::string> lines = {
        "One command a line; # starts a comment. Words are separated by spaces; \"a b\\c\" is one",
        "word (no escapes). Numbers are decimal or 0x-hex; times are device milliseconds.",
        "ROOT is HKLM or HKCU.",
        "  boot                                  start the device",
        "Before boot, reg set/delete/get, file write/delete, disk free, power ac and expect",
        "reg/file act on the image and the device's initial state.",
        "  wait MS                               let MS of device time pass (at most a day)",
        "  mark                                  start a new window for the log expectations",
        "  reg set ROOT \"KEY\" \"VALUE\" dword N | sz \"TEXT\"",
        "  reg delete ROOT \"KEY\" \"VALUE\"",
        "  reg get ROOT \"KEY\" \"VALUE\"            prints dword:N, sz:\"TEXT\" or missing",
        "  file write \"PATH\" <<WORD              the lines up to a line WORD become the file",
        "  file delete \"PATH\"",
        "  disk free \"PATH\" BYTES [TOTAL]        simulated bytes free to the caller on PATH's",
        "                                        volume [and free on the whole volume]",
        "  call incoming \"NUMBER\"                a call rings (\"\" = withheld number)",
        "  call answer | miss | end              the user answers, the caller gives up, the call "
        "ends",
        "  call second \"NUMBER\" | second-end     a second call arrives during a call, or ends",
        "  call voice \"HOSTFILE.wav\" | tone HZ | silence   what the caller says on the line",
        "  mic \"HOSTFILE.wav\" | tone HZ | silence  what the microphone hears from now on",
        "  speaker record \"HOSTFILE.wav\" | off   keep what the speaker plays in a WAV file",
        "  key VK                                press and release a key (0x72 = talk)",
        "  event set \"NAME\"                      set a named event that a process created",
        "  msgbox press OK|Yes|No|Cancel         answer the shown message box",
        "  service deinit \"LIBRARY\"              the service host calls the library's Deinit",
        "  service init \"LIBRARY\"                the service host calls the library's Init again",
        "  power ac on | off                     external power comes or goes",
        "  power state on|unattended|suspend     the device enters a system power state",
        "  expect reg ROOT \"KEY\" \"VALUE\" dword N | sz \"TEXT\" | missing | present",
        "  expect file \"PATH\" exists | missing   PATH may hold * and ?",
        "  expect [no] window \"CLASS\" \"TITLE\"    a shown top-level window",
        "  expect msgbox \"TEXT\"                  a shown message box's text holds TEXT",
        "  expect event \"NAME\" set | clear",
        "  expect volume 0xHHHHHHHH              the wave-out volume of device 0",
        "  expect sound \"PATH\" [volume V]        PATH plays now (to the speaker, or to the line",
        "                                        during a call) at V hundredths of a dB",
        "  expect no sound                       nothing plays",
        "  expect amr \"PATH\" MIN_MS MAX_MS       PATH (may hold * and ?) is an AMR-NB file with "
        "that much audio",
        "  applet open \"LIBRARY\" N [page P]    the control-panel host opens applet N on page P",
        "  applet list \"LIBRARY\"                the host lists the library's applets (traced)",
        "  program start \"PATH\" [\"ARGS\"]        the shell starts a program",
        "  program end \"NAME\"                   the program's windows get WM_CLOSE; it ends",
        "  card insert [\"NAME\"] | card remove   a storage card (\"Storage Card\") comes or goes",
        "  time set \"YYYY-MM-DD HH:MM:SS\"       the device's local time (also before boot)",
        "  expect file \"PATH\" contains \"TEXT\"   the file holds TEXT (UTF-8)",
        "  expect [no] running \"NAME\"           a program with file name NAME is running",
        "Since the last mark:",
        "  expect [no] trace \"TEXT\"              a trace line holds TEXT",
        "  expect ioctl \"DEVICE\" CODE [WORD ...]  a control call (\"HAL\" = KernelIoControl)",
        "  expect no ioctl \"DEVICE\" [CODE]",
        "  expect [no] key VK                    VK was pressed",
        "  expect [no] started \"NAME\"            a program with file name NAME started",
        "  expect [no] message \"CLASS\" MSG [WPARAM]  a window of class CLASS received MSG",
        "Screen (controls are addressed by id in the foreground window; ID/K is the K-th shown "
        "one):",
        "  dump                                  the foreground window's tree: class, id, text,",
        "                                        state, rectangle in the parent's client area",
        "  ok                                    tap OK/Done in the foreground window's caption",
        "  scroll line-down | line-up | page-down | page-up | thumb N",
        "                                        work the first vertical scroll bar in the",
        "                                        foreground window",
        "  rotate portrait | landscape | square  turn the screen",
        "  expect [no] foreground \"TITLE\"        the foreground window's title",
        "  expect control ID text \"TEXT\" | checked | unchecked | enabled | disabled | shown",
        "                 | hidden | readonly | items \"A\" \"B\" ... | count N | selected "
        "\"TEXT\"",
        "                 | selected none | pos N | rect X Y W H (in the parent's client area)",
        "  screenshot \"HOSTFILE.png\"             write the screen as it is now to a PNG file",
        "  help                                  this help",
    };
    for (std::string& line : InputHelpLines()) {
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace tovarin::emulator::console
