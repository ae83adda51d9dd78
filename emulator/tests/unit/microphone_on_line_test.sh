#!/bin/bash
# The user's microphone is heard on the line only while a call is connected, in simulated time.
# The microphone says a 1.5 s tone (a WAVE file, which plays once as it is taken), set long before
# the call rings: a line that took it before the answer would have used it up. The call recorder's
# file of the user-answered call carries it with the caller's voice; after that call has ended the
# file is set again and heard whole in the next such call (a line that kept taking it would have
# used it up). A third call, answered by the machine while the microphone hears a tone, leaves a
# message of the caller alone.
# Usage: microphone_on_line_test.sh TOVARIN_EMU TOVARIN_AUDIO_PROBE
set -u
emulator=$1
probe=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; cat "$work/out" 2>/dev/null; exit 1; }

"$probe" tone 1000 1500 "$work/voice.wav" || fail "cannot make the user's voice"
# A call the user answers and records for three seconds, his microphone given the tone first.
user_call() {
    cat <<SCRIPT
mic "$work/voice.wav"
wait 3000
call incoming "5550001"
call voice tone 440
wait 3000
key talk
wait 200
key record
wait 3000
key record
wait 100
expect trace "Drumlet: wrote"
call end
wait 500
SCRIPT
}
cat >"$work/call.scn" <<SCRIPT
boot
reg set HKLM "\Software\VarnholtCM\Callisk" "Activate" dword 1
reg set HKLM "\Software\VarnholtCM\Callisk" "SaveDir" sz "\My Documents\Calls"
event set "Phone Record Service Event"
$(user_call)
$(user_call)

mic tone 1000
reg set HKLM "\Software\VarnholtCM\AnswerMachine" "Enable" dword 1
reg set HKLM "\Software\VarnholtCM\AnswerMachine" "ActiveTime" dword 0
reg set HKLM "\Software\VarnholtCM\AnswerMachine" "SaveDir" sz "\My Documents"
reg set HKLM "\Software\VarnholtCM\AnswerMachine" "FileName" sz "VR"
event set "Answer Machine Service Event"
call incoming "5550002"
call voice tone 440
wait 17000
call end
wait 500
expect trace "Oxbane: wrote"
SCRIPT
"$emulator" --script "$work/call.scn" --device "$work/device" >"$work/out" 2>&1 ||
    fail "the calls did not go as scripted"
calls=("$work"/device/My\ Documents/Calls/*.amr)
[ ${#calls[@]} -eq 2 ] && [ -f "${calls[0]}" ] || fail "not two call recordings"
message=$(ls "$work"/device/My\ Documents/VR*.amr 2>/dev/null | head -1)
[ -n "$message" ] || fail "no message"
for recording in "${calls[@]}"; do
    "$probe" check "$recording" --carries 440 20 --carries 1000 20 --within 0 1500 ||
        fail "$recording does not carry the user's voice with the caller's"
    "$probe" check "$recording" --carries 1000 20 --within 1700 3000 >/dev/null &&
        fail "$recording carries the user's voice beyond its 1.5 s"
done
"$probe" check "$message" --tone 440 3 || fail "the message is not the caller's voice"
"$probe" check "$message" --carries 1000 20 >/dev/null &&
    fail "the message carries the user's microphone"
exit 0
