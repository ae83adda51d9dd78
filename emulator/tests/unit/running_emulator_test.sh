#!/bin/bash
# A running tovarin-emu as another process sees it: a second emulator on its image refuses to
# start, SIGHUP or SIGTERM end it with the registry changes saved, Ctrl-C (SIGINT) ends the console
# as the end of its input does, the end of the input lets a running wait finish, and the exit
# status says whether a command failed.
# Usage: running_emulator_test.sh TOVARIN_EMU
set -u
emulator=$1
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; cat "$work"/out.* 2>/dev/null; exit 1; }

# Waits (for the process, not for device time) until a file holds a text.
await() {
    for _ in $(seq 1 3000); do
        grep -q "$2" "$1" 2>/dev/null && return 0
        kill -0 "$3" 2>/dev/null || return 1
        sleep 0.01
    done
    return 1
}

for signal in HUP TERM; do
    device="$work/device-$signal"
    mkfifo "$work/in.$signal"
    "$emulator" --device "$device" --time simulated <"$work/in.$signal" >"$work/out.$signal" 2>&1 &
    pid=$!
    exec 3>"$work/in.$signal"
    await "$work/out.$signal" "the phone is up" $pid || fail "$signal: the emulator did not boot"

    "$emulator" --device "$device" --script /dev/null >"$work/second.$signal" 2>&1
    status=$?
    [ $status -eq 3 ] || fail "$signal: a second emulator on the image exited with $status"
    grep -q "is in use by another tovarin-emu" "$work/second.$signal" ||
        fail "$signal: the second emulator did not say why: $(cat "$work/second.$signal")"

    # The change waits for its debounced save when the signal comes.
    echo "reg set HKCU \"\\Signal\" \"$signal\" dword 7" >&3
    echo "reg get HKCU \"\\Signal\" \"$signal\"" >&3
    await "$work/out.$signal" "dword:7" $pid || fail "$signal: the value was not set"
    kill -$signal $pid
    wait $pid
    status=$?
    exec 3>&-
    [ $status -ne 0 ] || fail "$signal: the emulator exited with 0"
    grep -q "the registry is saved" "$work/out.$signal" || fail "$signal: no word of the save"
    grep -q "\"$signal\"=dword:00000007" "$device/registry/HKCU.reg" ||
        fail "$signal: the value is not in the saved hive"
done

# Ctrl-C ends the console as the end of its input does: an hour's wait in real time is cut short,
# the lines after it are not carried out, and the device shuts down keeping its registry and clock.
device="$work/device-INT"
mkfifo "$work/in.INT"
"$emulator" --device "$device" --time real <"$work/in.INT" >"$work/out.INT" 2>&1 &
pid=$!
exec 3>"$work/in.INT"
await "$work/out.INT" "the phone is up" $pid || fail "INT: the emulator did not boot"
echo 'reg set HKCU "\Signal" "INT" dword 7' >&3
echo 'reg get HKCU "\Signal" "INT"' >&3
await "$work/out.INT" "dword:7" $pid || fail "INT: the value was not set"
printf 'wait 3600000\nreg set HKCU "\\Signal" "after" dword 1\n' >&3
sleep 0.3
kill -INT $pid
wait $pid
status=$?
exec 3>&-
[ $status -eq 0 ] || fail "INT: the console exited with $status"
grep -q "wait cut short: interrupted" "$work/out.INT" || fail "INT: the wait was not cut short"
grep -q '"INT"=dword:00000007' "$device/registry/HKCU.reg" || fail "INT: the value is not saved"
grep -q '"after"' "$device/registry/HKCU.reg" && fail "INT: a line after the interrupt ran"
[ -s "$device/registry/clock.txt" ] || fail "INT: the clock was not written"

# When the input ends, a running wait lets its time pass (a piped call sees the machine answer),
# and the console's exit status says whether a command failed, as a script's does.
start=$(date +%s%N)
printf 'wait 1200\n' | "$emulator" --device "$work/device-eof" --time real >"$work/out.eof" 2>&1 ||
    fail "a console whose commands held exited with $?"
took=$((($(date +%s%N) - start) / 1000000))
grep -q "cut short" "$work/out.eof" && fail "the wait was cut short by the end of the input"
[ $took -ge 1200 ] || fail "a piped wait 1200 ended after $took ms"
printf 'expect window "Dialog" "No such window"\nmark\n' |
    "$emulator" --device "$work/device-eof" --time simulated >"$work/out.failed" 2>&1
status=$?
[ $status -eq 1 ] || fail "a console with a failed expectation exited with $status"
printf 'call sideways\nmark\n' |
    "$emulator" --device "$work/device-eof" --time simulated >"$work/out.unparsable" 2>&1
status=$?
[ $status -eq 2 ] || fail "a console with a line that does not parse exited with $status"
printf 'quit\nexpect window "Dialog" "No such window"\n' |
    "$emulator" --device "$work/device-eof" --time simulated >"$work/out.quit" 2>&1 ||
    fail "quit did not end the console before the failing line ($?)"
# A failed script leaves its evidence beside it (NAME.failure/): the screen as a PNG, the
# foreground window's tree and the end of the trace, and names the files.
cat >"$work/failing.scn" <<'SCRIPT'
boot
applet open "Marrowfen.dll" 0 page 3
expect control 8000 checked
SCRIPT
"$emulator" --script "$work/failing.scn" >"$work/out.failing" 2>&1
status=$?
[ $status -eq 1 ] || fail "the failing script exited with $status"
evidence="$work/failing.failure"
grep -q "evidence: $evidence/screen.png, $evidence/foreground.txt, $evidence/trace.txt" \
    "$work/out.failing" || fail "the failure does not name its evidence"
[ "$(head -c 4 "$evidence/screen.png" | od -An -c | tr -d ' ')" = "211PNG" ] ||
    fail "screen.png is not a PNG image"
grep -q '^Dialog "Настройки"' "$evidence/foreground.txt" || fail "foreground.txt holds no sheet"
grep -q 'Button 8000' "$evidence/foreground.txt" || fail "foreground.txt holds no controls"
lines=$(wc -l <"$evidence/trace.txt")
[ "$lines" -gt 0 ] && [ "$lines" -le 200 ] || fail "trace.txt has $lines lines"
[ "$(tail -n 1 "$evidence/trace.txt")" = \
    "$(awk '/: failed: /{exit} /^\[/{last=$0} END{print last}' "$work/out.failing")" ] ||
    fail "trace.txt does not end where the trace was when the script failed"

# The removed cards kept beside an image go with it: a fresh image made where it was deleted does
# not get them back, and they are set aside, not lost.
printf 'card insert\nfile write "\\Storage Card\\kept.txt" <<END\nkept\nEND\ncard remove\n' |
    "$emulator" --device "$work/carded" --time simulated >"$work/out.cards" 2>&1 ||
    fail "the card was not inserted, written and removed ($?)"
[ -f "$work/carded.cards/Storage Card/kept.txt" ] || fail "the removed card's file is not kept"
rm -rf "$work/carded"
printf 'card insert\nexpect file "\\Storage Card\\kept.txt" missing\n' |
    "$emulator" --device "$work/carded" --time simulated >"$work/out.cards" 2>&1 ||
    fail "a fresh image got the earlier image's card back ($?)"
grep -q "are kept in $work/carded.cards.old" "$work/out.cards" || fail "no word of the cards set aside"
[ -f "$work/carded.cards.old/Storage Card/kept.txt" ] || fail "the earlier image's card was lost"
echo "passed"
