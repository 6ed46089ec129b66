#!/usr/bin/env bash
# Runs a program against the simulated service side: starts the peers in RUN_FOLDER (scripts/peers.sh),
# runs the program and stops the peers once the program and every process it started that carries its
# mark have ended: the client's switch-user command starts a new copy of the client and ends the old
# one, and the new one must still find its peers.
#
# Usage: scripts/with-peers.sh RUN_FOLDER PROGRAM [ARGS...]
# Environment: as scripts/peers.sh. Exits with the first program's status.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
run=${1:?usage: with-peers.sh RUN_FOLDER PROGRAM [ARGS...]}
shift
[ $# -gt 0 ] || { echo "usage: with-peers.sh RUN_FOLDER PROGRAM [ARGS...]" >&2; exit 2; }

stop_stack() { "$root/scripts/peers.sh" stop "$run" || true; }
trap stop_stack EXIT
trap 'exit 130' INT TERM

"$root/scripts/peers.sh" start "$run"

# Only the program and what it starts carry this mark in their environment (the peers do not).
mark="KELVUE_STACK_SESSION=$$-$(date +%s%N)"

# True while a process carrying the mark runs.
marked_process_runs() {
  local environ
  for environ in /proc/[0-9]*/environ; do
    grep -qzxF -- "$mark" "$environ" 2> /dev/null && return 0
  done
  return 1
}

status=0
env "$mark" "$@" || status=$?
while marked_process_runs; do sleep 0.5; done
exit $status
