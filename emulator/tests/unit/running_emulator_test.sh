#!/bin/bash
# A running tovarin-emu as another process sees it: a second emulator on its image refuses to
# start, SIGHUP, SIGINT or SIGTERM end it with the registry changes saved, and the end of its
# input ends a long wait in real time.
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

for signal in HUP INT TERM; do
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
# In real time, a long wait ends with the console's input: an hour of waiting here would run into
# the test's timeout.
printf 'boot\nwait 3600000\n' |
    "$emulator" --no-boot --device "$work/device-eof" --time real >"$work/out.eof" 2>&1
grep -q "wait cut short: the input has ended" "$work/out.eof" || fail "the wait did not end"
echo "passed"
