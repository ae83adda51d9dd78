#!/bin/bash
# The console at a terminal (a pseudo-terminal from script(1)): it prompts, the up arrow brings
# back the line typed before, and quit ends it with status 0.
# Usage: terminal_console_test.sh TOVARIN_EMU
set -u
emulator=$1
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; cat -v "$work/out"; exit 1; }

# Waits (for the process, not for device time) until the output holds a text `count` times.
await() {
    for _ in $(seq 1 3000); do
        [ "$(grep -o "$1" "$work/out" 2>/dev/null | wc -l)" -ge "$2" ] && return 0
        kill -0 $pid 2>/dev/null || return 1
        sleep 0.01
    done
    return 1
}

mkfifo "$work/in"
script -qec "$emulator --no-boot --device $work/device" /dev/null <"$work/in" >"$work/out" 2>&1 &
pid=$!
exec 3>"$work/in"
await "tovarin> " 1 || fail "no prompt"
printf 'reg get HKCU "\\\\Typed" "Once"\n' >&3
await "^missing" 1 || fail "the typed line was not carried out"
await "tovarin> " 2 || fail "no second prompt"
printf '\033[A\n' >&3
await "^missing" 2 || fail "the up arrow did not bring back the line before"
printf 'quit\n' >&3
wait $pid
status=$?
exec 3>&-
[ $status -eq 0 ] || fail "quit ended the console with $status"
echo "passed"
