#!/bin/bash
# The call recorder keeps the whole call: in simulated time a caller says a 440 Hz tone while the
# background-effects mixer plays a 1000 Hz background to the line, and the recording, decoded,
# carries both (the answering recorder's message carries the caller alone).
# Usage: call_recording_mix_test.sh TOVARIN_EMU TOVARIN_AUDIO_PROBE
set -u
emulator=$1
probe=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; cat "$work/out" 2>/dev/null; exit 1; }

"$probe" tone 1000 3000 "$work/tone1000.amr" || fail "cannot make the background"
cat >"$work/call.scn" <<'SCRIPT'
boot
reg set HKLM "\Software\VarnholtCM\Callisk" "Activate" dword 1
reg set HKLM "\Software\VarnholtCM\Callisk" "SaveDir" sz "\My Documents\Мои Телефонные Записи"
event set "Phone Record Service Event"
reg set HKLM "\Software\VarnholtCM\Overdub" "Enable" dword 1
reg set HKLM "\Software\VarnholtCM\Overdub" "BackgroundIndex" dword 11
reg set HKLM "\Software\VarnholtCM\Overdub" "BGGain" dword 9
reg set HKLM "\Software\VarnholtCM\Overdub" "SaveDir" sz "\Windows"
reg set HKLM "\Software\VarnholtCM\Overdub" "FileName" sz "tone1000.amr"
event set "Overdub Service Event"
call incoming "5550001"
key talk
wait 200
call voice tone 440
key record
wait 5000
key record
wait 100
expect trace "Drumlet: wrote"
call end
SCRIPT
"$emulator" --script "$work/call.scn" --device "$work/device" --install "$work/tone1000.amr" \
    >"$work/out" 2>&1 || fail "the call did not go as scripted"
recording=$(ls "$work"/device/My\ Documents/Мои\ Телефонные\ Записи/*.amr 2>/dev/null | head -1)
[ -n "$recording" ] || fail "no call recording"
# The caller is the louder; the background, at -6 dB under a -12 dBFS tone, lies some 15 dB below.
"$probe" check "$recording" --sound 4800 5200 --carries 440 3 --carries 1000 20 ||
    fail "the recording does not hold both directions"
# A single tone leaves every other frequency far below: the check can tell.
"$probe" check "$work/tone1000.amr" --carries 440 20 >/dev/null &&
    fail "the probe finds a tone that is not there"
exit 0
