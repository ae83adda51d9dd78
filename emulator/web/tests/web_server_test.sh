#!/bin/bash
# The web page's server as careless and hostile clients meet it, without a browser: connections
# that send nothing do not stall the page, a body declared too large is refused at once, an
# emulator whose input ends at once never hangs in its exit, and a port that is taken is said so
# (two emulators never share one port). Real time: each bound here is seconds wide of what a
# working server takes (milliseconds), and the faults it catches cost seconds or a hang.
# Usage: web_server_test.sh TOVARIN_EMU
set -u
emulator=$1
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; cat "$work"/out.* 2>/dev/null; exit 1; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# The first line of the answer to a request sent on a new connection (up to 5 s for it).
answer() {
    local port=$1 request=$2 fd line=""
    exec {fd}<>"/dev/tcp/127.0.0.1/$port" || return 1
    printf '%b' "$request" >&$fd
    IFS= read -r -t 5 line <&$fd
    exec {fd}>&-
    echo "${line%$'\r'}"
}

mkfifo "$work/in"
"$emulator" --web 0 --no-boot --device "$work/first" --time simulated <"$work/in" \
    >"$work/out.first" 2>&1 &
first=$!
exec 3>"$work/in"
for _ in $(seq 1 3000); do
    grep -q "the web page is at" "$work/out.first" && break
    kill -0 $first 2>/dev/null || fail "the emulator ended before it served the page"
    sleep 0.01
done
port=$(sed -n 's|.*the web page is at http://127.0.0.1:\([0-9]*\)/.*|\1|p' "$work/out.first")
[ -n "$port" ] || fail "no address of the page"
get="GET / HTTP/1.1\r\nHost: 127.0.0.1:$port\r\nConnection: close\r\n\r\n"

# Twelve connections that send nothing, or half a request, and keep still.
idle=()
for i in $(seq 1 12); do
    exec {fd}<>"/dev/tcp/127.0.0.1/$port" || fail "connection $i was refused"
    [ $((i % 2)) -eq 0 ] && printf 'GET / HTTP/1.1\r\nHost: 127.0.0' >&$fd
    idle+=("$fd")
done
sleep 0.2  # the server has taken them all
start=$(now_ms)
status=$(answer "$port" "$get")
took=$(($(now_ms) - start))
[ "$status" = "HTTP/1.1 200 OK" ] || fail "the page behind idle connections answered '$status'"
[ $took -lt 1000 ] || fail "the page behind twelve idle connections took $took ms"
for fd in "${idle[@]}"; do exec {fd}>&-; done

# Ten megabytes declared and none sent: the answer does not wait for them.
start=$(now_ms)
status=$(answer "$port" "POST /api/command HTTP/1.1\r\nHost: 127.0.0.1:$port\r\nContent-Type: application/json\r\nContent-Length: 10000000\r\n\r\n")
took=$(($(now_ms) - start))
[ "$status" = "HTTP/1.1 413 Payload Too Large" ] || fail "a 10 MB body was answered '$status'"
[ $took -lt 1000 ] || fail "the 413 took $took ms"

# A second emulator on the same port says the port is taken, and the first one keeps it.
timeout 60 "$emulator" --web "$port" --no-boot --device "$work/second" </dev/null \
    >"$work/out.second" 2>&1
status=$?
[ $status -eq 3 ] || fail "a second emulator on port $port exited with $status"
grep -q "127.0.0.1:$port is in use by another program" "$work/out.second" ||
    fail "the second emulator did not say why: $(cat "$work/out.second")"
status=$(answer "$port" "$get")
[ "$status" = "HTTP/1.1 200 OK" ] || fail "the first emulator's page answered '$status' after"
exec 3>&-
timeout 30 tail --pid=$first -f /dev/null || fail "the first emulator did not end with its input"
wait $first || fail "the first emulator exited with $?"

# Input that ends at once: the server is stopped whatever it was doing, every time.
for run in $(seq 1 20); do
    timeout 30 "$emulator" --web 0 --no-boot --device "$work/quick" </dev/null \
        >"$work/out.quick" 2>&1
    status=$?
    [ $status -eq 0 ] || fail "run $run of an emulator whose input ends at once exited with $status"
done
echo "passed"
