#!/usr/bin/env bash
# Sets everything up and runs every test: installs packages, builds, runs CTest.
# Usage: scripts/test.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$build"
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 600
