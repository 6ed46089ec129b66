#!/usr/bin/env bash
# The sanitizer runs (not part of CI's time budget): the whole suite under AddressSanitizer with
# UndefinedBehaviorSanitizer, the threaded tests under ThreadSanitizer.
# Usage: scripts/sanitize.sh [address|thread|all]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
which=${1:-all}
"$root/scripts/setup.sh"
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
if [ "$which" = address ] || [ "$which" = all ]; then
  BUILD_TYPE=Debug "$root/scripts/build.sh" "$root/build-asan" -DKELVUE_SANITIZE=address -DKELVUE_BENCH=OFF
  (cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
     ctest --output-on-failure -j"$(nproc)" --timeout 900)
fi
if [ "$which" = thread ] || [ "$which" = all ]; then
  BUILD_TYPE=Debug "$root/scripts/build.sh" "$root/build-tsan" -DKELVUE_SANITIZE=thread -DKELVUE_BENCH=OFF
  (cd "$root/build-tsan" && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$root/scripts/tsan.supp" \
     ctest --output-on-failure -j"$(nproc)" --timeout 900 -L threaded)
fi
