#!/usr/bin/env bash
# Log-in click to the device tree shown with every presence, against the same protocol work without
# windows plus one bare window shown (login_bench reference), alternating rounds in one run against
# the demo stack on loopback. Prints each median with its range and the load average before and after.
# Usage: bench/main/run_login_bench.sh [BUILD_DIR] [ROUNDS] [LOGIN_BENCH]
#   LOGIN_BENCH defaults to BUILD_DIR/bench/main/login_bench (give another build's to compare).
#   Runs on an Xvfb screen of its own when Xvfb exists, else on the offscreen platform.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
rounds=${2:-9}
login=${3:-$build/bench/main/login_bench}
run=$build/run-login-bench/peers

export KELVUE_CLOUDSIM=$build/sim/cloudsim/cloudsim KELVUE_CAMSIM=$build/sim/camsim/camsim KELVUE_PEERS_RESET=1
"$root/scripts/peers.sh" start "$run" > /dev/null
xvfb=
if command -v Xvfb > /dev/null; then
  display=:$((110 + RANDOM % 9))
  Xvfb "$display" -screen 0 1600x900x24 -nolisten tcp > /dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=$display QT_QPA_PLATFORM=xcb
  for _ in $(seq 50); do xwininfo -root > /dev/null 2>&1 && break; sleep 0.1; done
else
  export QT_QPA_PLATFORM=offscreen
fi
cleanup() { [ -n "$xvfb" ] && kill "$xvfb" 2> /dev/null; "$root/scripts/peers.sh" stop "$run" > /dev/null || true; }
trap cleanup EXIT
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/kelvue-bench-$UID}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
reference=() client=()
for ((i = 0; i < rounds; i++)); do
  # Every other round the other one first, so that a drift in the machine's load hits both alike.
  if ((i % 2 == 0)); then
    reference+=("$("$login" reference)"); client+=("$("$login" client)")
  else
    client+=("$("$login" client)"); reference+=("$("$login" reference)")
  fi
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

stats() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {printf "%d ms (%d-%d)", a[int((NR+1)/2)], a[1], a[NR]}'; }
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
ratios=()
for ((i = 0; i < rounds; i++)); do ratios+=("$(awk -v a="${client[i]}" -v b="${reference[i]}" 'BEGIN { printf "%.2f", a / b }')"); done
sorted_ratios=$(printf '%s\n' "${ratios[@]}" | sort -n)
echo "log-in click to the tree shown, $rounds alternating rounds ($QT_QPA_PLATFORM), load average $load_before before, $load_after after"
printf '  %-62s %s\n' "reference: protocol work without windows + a bare window" "$(stats "${reference[@]}")"
printf '  %-62s %s\n' "kelvue: log-in click to the tree with every presence" "$(stats "${client[@]}")"
printf '  %-62s %.2fx (per-round ratios %s-%s)\n' "ratio of the medians" \
  "$(awk -v a="$(median "${client[@]}")" -v b="$(median "${reference[@]}")" 'BEGIN { print a / b }')" \
  "$(head -1 <<< "$sorted_ratios")" "$(tail -1 <<< "$sorted_ratios")"
echo "  (rounds: reference ${reference[*]}; kelvue ${client[*]})"
