#!/usr/bin/env bash
# Builds and runs the player benchmark: CPU per frame against ffmpeg, time to first frame against
# ffplay (under Xvfb), and 16 / 64 players at once. Usage: bench/player/run.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
[ -f "$build/build.ninja" ] || "$root/scripts/build.sh" "$build"
cmake --build "$build" --target player_bench -j2 >/dev/null
export SDL_AUDIODRIVER=dummy
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/player/player_bench"
