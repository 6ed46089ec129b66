#!/usr/bin/env bash
# A program run by scripts/with-peers.sh that restarts itself (the client's switch-user command) keeps
# its peers: they stop only after the new instance has ended. The new instance runs by its real path.
# Usage: with_peers_restart_test.sh PROBE   (the RestartProbe program)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
probe=$(realpath "$1")
work=$(mktemp -d)
fail=0
check() { if "$@"; then :; else echo "FAIL: $*" >&2; fail=1; fi; }
. "$(dirname "$0")/free_port.sh"
export KELVUE_CLOUDSIM_PORT=$(free_port) KELVUE_PROSODY_PORT=$(free_port) KELVUE_CAMSIM_PORT=$(free_port)
export KELVUE_PEERS_RESET=1 KELVUE_PROBE_OUT=$work/probe.out
trap '"$root/scripts/peers.sh" stop "$work/run" > /dev/null 2>&1; rm -rf "$work" "/tmp/kelvue-peers-$KELVUE_CLOUDSIM_PORT.lock"' EXIT

timeout 120 "$root/scripts/with-peers.sh" "$work/run" "$probe" > "$work/out" 2>&1
check test $? -eq 0
# Both runs saw the peers, and the script returned only after the second one had written its line.
check test "$(cat "$work/probe.out" 2> /dev/null)" = "$probe 1
$probe 1"
check test "$(awk '{print $1}' "$work/probe.out" | tail -n 1)" = "$probe"
# ... and then stopped them.
if "$root/scripts/peers.sh" status "$work/run" > /dev/null; then echo "FAIL: peers still running" >&2; fail=1; fi
[ $fail = 0 ] || { echo "--- with-peers.sh:"; cat "$work/out"; echo "--- probe:"; cat "$work/probe.out"; }
exit $fail
