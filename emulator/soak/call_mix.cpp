#include "soak/call_mix.h"

namespace tovarin::emulator::soak {

const std::string_view kSetupScript = R"(boot
reg set HKLM "\Software\VarnholtCM\AnswerMachine" "Enable" dword 1
reg set HKLM "\Software\VarnholtCM\AnswerMachine" "ActiveTime" dword 0
reg set HKLM "\Software\VarnholtCM\AnswerMachine" "SaveDir" sz "\My Documents"
reg set HKLM "\Software\VarnholtCM\AnswerMachine" "QuellbrookEnable" dword 1
event set "Answer Machine Service Event"
reg set HKLM "\Software\VarnholtCM\Callisk" "Activate" dword 1
reg set HKLM "\Software\VarnholtCM\Callisk" "SaveDir" sz "\My Documents\Мои Телефонные Записи"
reg set HKLM "\Software\VarnholtCM\Callisk" "FileName" sz "CK"
event set "Phone Record Service Event"
file write "\Windows\Quellbrooks.xml" <<XML
<?xml version="1.0" encoding="utf-8"?>
<Quellbrooks>
	<Item>
		<CheckContact>N</CheckContact>
		<ContactName>Анна</ContactName>
		<ContactPhone>+79125550123</ContactPhone>
		<PlayFile>gr101500.amr</PlayFile>
		<AnswerTime>5</AnswerTime>
	</Item>
</Quellbrooks>
XML
)";

namespace {

// 500 ms to read the call count, 1000 ms before the greeting lookup, then ActiveTime 0's 10 s;
// the call connects 200 ms after the talk key and the service sees it 500 ms later. Waits leave
// room for the notifications of the previous call that the service may still be handling.
constexpr std::string_view kMachineAnswers = R"(mark
call incoming "5550001"
wait 13000
expect key 0x72
expect started "Oxbane.exe"
wait 20000
mark
call end
wait 1000
expect trace "Oxbane: closed"
expect reg HKLM "\System\State\Phone" "Status" dword 0x00000001
)";

constexpr std::string_view kUserAnswers = R"(mark
call incoming "5550002"
wait 3000
call answer
wait 700
wait 30000
call end
wait 1000
expect no started "Oxbane.exe"
expect reg HKLM "\System\State\Phone" "Status" dword 0x00000001
)";

constexpr std::string_view kMissed = R"(mark
call incoming "5550003"
wait 6000
call miss
wait 1000
expect no key 0x72
expect reg HKLM "\System\State\Phone" "Status" dword 0x00000801
)";

// 500 ms for the call count, 1000 ms before the lookup, then the caller's 5 s.
constexpr std::string_view kListedCaller = R"(mark
call incoming "+79125550123"
wait 8500
expect trace "playFile=gr101500.amr"
expect started "Oxbane.exe"
wait 10000
call end
wait 1000
expect trace "Oxbane: closed"
expect reg HKLM "\System\State\Phone" "Status" dword 0x00000001
)";

constexpr std::string_view kRecorded = R"(mark
call incoming "5550004"
wait 2000
call answer
wait 2000
expect ioctl "KBM0:" 0x45600001
key 0x8B
wait 100
expect started "Drumlet.exe"
wait 15000
key 0x8B
wait 100
expect trace "Drumlet: stopped"
call end
wait 1000
expect ioctl "KBM0:" 0x45600000
expect reg HKLM "\System\State\Phone" "Status" dword 0x00000001
)";

constexpr std::string_view kSecondCall = R"(mark
call incoming "5550005"
wait 13000
expect started "Oxbane.exe"
call second "5550006"
wait 500
call second-end
wait 1000
call end
wait 1000
expect reg HKLM "\System\State\Phone" "Status" dword 0x00000001
)";

// The listener follows its settings; the call after the change is answered by the user.
constexpr std::string_view kListenerSettings = R"(mark
reg set HKLM "\Software\VarnholtCM\My Setting" "KeyPad Lock" dword 1
reg set HKLM "\Software\VarnholtCM\My Setting" "HeadSet Ring" dword 1
event set "BackLightChangeEvent"
power ac on
wait 500
expect ioctl "HAL" 0x01013FFC 0
expect ioctl "RUT1:" 1 0x5A00 0x5A01
call incoming "5550007"
wait 2000
call answer
wait 5000
call end
wait 500
reg set HKLM "\Software\VarnholtCM\My Setting" "KeyPad Lock" dword 0
reg set HKLM "\Software\VarnholtCM\My Setting" "HeadSet Ring" dword 0
power ac off
wait 1000
expect ioctl "HAL" 0x01013FFC 1
expect ioctl "RUT1:" 1 0x5A00 0x5A02
expect reg HKLM "\System\State\Phone" "Status" dword 0x00000001
)";

}  // namespace

const std::vector<CallScript>& CallMix() {
    static const std::vector<CallScript> mix = {
        {"answered by the machine", kMachineAnswers},
        {"answered by the user", kUserAnswers},
        {"missed", kMissed},
        {"listed caller with his own greeting", kListedCaller},
        {"recorded with the record key", kRecorded},
        {"second call during an answered call", kSecondCall},
        {"listener settings changed", kListenerSettings},
    };
    return mix;
}

}  // namespace tovarin::emulator::soak
