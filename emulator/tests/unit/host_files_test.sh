#!/bin/bash
# The host files console commands read: `mic` and `call voice` take only regular files up to
# 64 MB (a device file, a FIFO, a folder or a bigger file get a clear error and the console goes
# on), and `expect amr` hands a recording's name to ffmpeg as one argument, whatever it holds.
# Usage: host_files_test.sh TOVARIN_EMU TOVARIN_AUDIO_PROBE FFMPEG
set -u
emulator=$1
probe=$2
ffmpeg=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; cat "$work"/out.* 2>/dev/null; exit 1; }
cd "$work" || exit 1

mkfifo fifo
mkdir folder
truncate -s 65M big.wav
printf '%s\n' 'mic "/dev/zero"' 'mic "fifo"' 'call voice "folder"' 'mic "big.wav"' \
  'call voice "missing.wav"' >in.console
timeout 60 "$emulator" --time simulated --device device <in.console >out.console 2>&1
status=$?
[ "$status" -ne 124 ] || fail "the console did not end by itself"
# Every line failed, so the console says so in its exit status.
[ "$status" -eq 1 ] || fail "the console ended with $status, not 1 for its failed commands"
for expected in '/dev/zero is a device file, not a regular file' \
  'fifo is a FIFO, not a regular file' 'folder is a folder, not a regular file' \
  'big.wav is too big: 68157440 bytes, more than 64 MB' \
  'cannot read missing.wav: No such file or directory'; do
  grep -qF -- "$expected" out.console || fail "the console did not say: $expected"
done

# A recording whose name would close a shell's quote and run a command.
name="it's '\$(touch ran)'.amr"
"$probe" tone 1000 2000 "$name" || fail "the probe made no AMR file"
printf '%s\n' boot "expect amr \"\\Windows\\$name\" 1500 2500" >quoted.scn
TOVARIN_FFMPEG=$ffmpeg timeout 60 "$emulator" --script quoted.scn --install "$name" \
  >out.quoted 2>&1 || fail "ffmpeg did not decode $name"
[ ! -e ran ] || fail "the file name ran a command"
echo "PASSED"
