#!/usr/bin/env bash
# Start-up and log-in of the client against the demo stack on loopback, each against a reference
# measured in the same run, alternating runs:
#   start-up to the log-in window  vs  a bare Qt program showing one empty window (process start to
#                                      the window mapped on an Xvfb screen, seen with xwininfo)
#   log-in to the shown tree       vs  the same requests and IM connection without windows
# Usage: bench/main/run_startup_bench.sh [BUILD_DIR] [RUNS]     (needs Xvfb; starts its own peers)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
runs=${2:-7}
run=$build/run-bench/peers
client=$build/src/main/kelvue
bare=$build/bench/main/bare_window
login=$build/bench/main/login_bench

export KELVUE_CLOUDSIM=$build/sim/cloudsim/cloudsim KELVUE_CAMSIM=$build/sim/camsim/camsim KELVUE_PEERS_RESET=1
"$root/scripts/peers.sh" start "$run" > /dev/null
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1600x900x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
cleanup() { kill "$xvfb" 2> /dev/null || true; "$root/scripts/peers.sh" stop "$run" > /dev/null || true; }
trap cleanup EXIT
export DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/kelvue-bench-$UID}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
for _ in $(seq 50); do xwininfo -root > /dev/null 2>&1 && break; sleep 0.1; done

now_ms() { date +%s%3N; }
# Milliseconds from starting PROGRAM until a window named TITLE is mapped.
time_to_window() {
  local title=$1 program=$2 start pid t
  start=$(now_ms)
  "$program" > /dev/null 2>&1 &
  pid=$!
  t=-1
  for _ in $(seq 4000); do
    if xwininfo -root -tree 2> /dev/null | grep -q "\"$title\""; then t=$(($(now_ms) - start)); break; fi
  done
  kill "$pid" 2> /dev/null || true
  wait "$pid" 2> /dev/null || true
  echo "$t"
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# Start-up: the client's program folder must not log in automatically.
rm -f "$(dirname "$client")/Vyr/LoginAccount.ini"
startup_client=() startup_bare=() login_client=() login_reference=()
for ((i = 0; i < runs; i++)); do
  startup_bare+=("$(time_to_window bare "$bare")")
  startup_client+=("$(time_to_window 登录 "$client")")
  login_reference+=("$("$login" reference)")
  login_client+=("$("$login" client)")
done
sb=$(printf '%s\n' "${startup_bare[@]}" | median)
sc=$(printf '%s\n' "${startup_client[@]}" | median)
lr=$(printf '%s\n' "${login_reference[@]}" | median)
lc=$(printf '%s\n' "${login_client[@]}" | median)
echo "start-up and log-in against the demo stack on loopback, median of $runs runs (Xvfb)"
printf '  %-58s %6s ms   1.00x (reference)\n' "bare Qt program: start to its window shown" "$sb"
printf '  %-58s %6s ms  %5.2fx\n' "kelvue: start to the log-in window shown" "$sc" "$(awk -v a="$sc" -v b="$sb" 'BEGIN { print a / b }')"
printf '  %-58s %6s ms   1.00x (reference)\n' "log-in request, device list, IM roster and presences" "$lr"
printf '  %-58s %6s ms  %5.2fx\n' "kelvue: log-in click to the tree shown with presences" "$lc" "$(awk -v a="$lc" -v b="$lr" 'BEGIN { print a / b }')"
echo "  (start-up runs: bare ${startup_bare[*]}; kelvue ${startup_client[*]})"
echo "  (log-in runs: reference ${login_reference[*]}; kelvue ${login_client[*]})"
