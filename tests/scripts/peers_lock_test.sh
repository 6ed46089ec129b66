#!/usr/bin/env bash
# A running stack of peers must not keep the start lock, and a second start against ports that a
# running program holds must say which port within seconds instead of waiting silently.
# Runs the whole stack on free ports of its own, so it does not meet the test fixture's peers.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
fail=0
check() { if "$@"; then :; else echo "FAIL: $*" >&2; fail=1; fi; }

. "$(dirname "$0")/free_port.sh"
export KELVUE_CLOUDSIM_PORT=$(free_port) KELVUE_PROSODY_PORT=$(free_port) KELVUE_CAMSIM_PORT=$(free_port)
export KELVUE_PEERS_RESET=1
lock=/tmp/kelvue-peers-$KELVUE_CLOUDSIM_PORT.lock
cleanup() { "$root/scripts/peers.sh" stop "$work/first" > /dev/null 2>&1; rm -rf "$work" "$lock"; }
trap cleanup EXIT

"$root/scripts/peers.sh" start "$work/first" > "$work/first.out" 2>&1 || { cat "$work/first.out"; exit 1; }
check test -f "$work/first/prosody.pid"

# The start has returned: nobody may hold its lock now.
check flock -n "$lock" true
for name in prosody cloudsim camsim; do
  pid=$(cat "$work/first/$name.pid" 2> /dev/null) || continue
  if ls -l "/proc/$pid/fd" 2> /dev/null | grep -qF "$lock"; then
    echo "FAIL: $name (pid $pid) holds $lock" >&2
    fail=1
  fi
done

# A second stack on the same ports: fails after its short wait, naming the busy port.
start=$SECONDS
KELVUE_PEERS_WAIT=2 timeout 60 "$root/scripts/peers.sh" start "$work/second" > "$work/second.out" 2>&1
status=$?
check test "$status" -ne 0
check test "$status" -ne 124
check test $((SECONDS - start)) -lt 30
check grep -q "port $KELVUE_PROSODY_PORT (prosody) is held by another program" "$work/second.out"
check grep -q "still in use" "$work/second.out"
[ $fail = 0 ] || { echo "--- second start:"; cat "$work/second.out"; }
exit $fail
