#!/usr/bin/env bash
# Process start to the log-in window shown against a bare Qt program showing one empty window, process
# against process (startup_bench): alternating rounds on an Xvfb screen of their own, median and range
# of each time and of the ratio, the load average, and the shared libraries each program has mapped
# when its window shows. The bare window with a line of text ("text") is measured beside them: what
# any window with text pays before it shows. Each program runs as a copy in a scratch folder of its
# own (the client's with the skin beside it, so that it is a self-contained program folder), so no
# build folder is written to.
# Usage: bench/main/run_startup_window_bench.sh [BUILD_DIR] [ROUNDS] [OTHER_KELVUE...]
#   OTHER_KELVUE: further client executables measured in the same run (another build's, for a before
#   and after figure); each is run with the skin beside it in its own build.
# STARTUP_BENCH_LIST=1 lists the libraries of each program.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
rounds=${2:-15}
shift 2 || shift $#
scratch=$(mktemp -d /tmp/kelvue-startup-XXXXXX)
exec 3> "$scratch/display"
Xvfb -displayfd 3 -screen 0 1600x900x24 -br -nolisten tcp > /dev/null 2>&1 &  # black root: see startup_bench
xvfb=$!
cleanup() { kill "$xvfb" 2> /dev/null || true; wait "$xvfb" 2> /dev/null || true; rm -rf "$scratch"; }
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n 1 "$scratch/display") QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

# place NAME EXECUTABLE [SKIN]: a copy of the executable in $scratch/NAME (the skin linked beside it).
place() {
  mkdir "$scratch/$1"
  cp "$2" "$scratch/$1/"
  [ -z "${3:-}" ] || ln -s "$3" "$scratch/$1/skin"
  echo "$scratch/$1/$(basename "$2")"
}
programs=("bare=$(place bare "$build/bench/main/bare_window")")
# A second figure for what painting text costs: the bare window with a line of Chinese text.
programs+=("text=$(place text "$build/bench/main/text_window")")
programs+=("登录=$(place kelvue "$build/src/main/kelvue" "$build/skin")")
n=0
for other in "$@"; do
  n=$((n + 1))
  programs+=("登录=$(place "other$n" "$other" "$(readlink -f "$(dirname "$other")/skin")")")
done
echo "programs: bare = $build/bench/main/bare_window, text = $build/bench/main/text_window, kelvue = $build/src/main/kelvue${*:+, other = $*}"
"$build/bench/main/startup_bench" "$rounds" "${programs[@]}"
