#!/usr/bin/env bash
# Sets everything up and runs the demo: installs the packages, builds, starts the simulated service
# side on loopback (prosody, cloudsim, camsim: scripts/peers.sh) and then the client.
# Log in with the demo account: mobile number 13800138000, password kelvue123.
# Closing the client stops the demo stack again (a client restarted by its switch-user command keeps it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
run=$root/run/demo
client=$root/build/src/main/kelvue

"$root/scripts/setup.sh"
"$root/scripts/build.sh"
[ -x "$client" ] || { echo "demo: the client was not built ($client)" >&2; exit 1; }

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat <<EOT
demo: this machine has no display (DISPLAY is not set), so the client's windows cannot be shown.
Everything is installed and built. To run the demo on a virtual screen, use:

    xvfb-run -a -s "-screen 0 1600x900x24" scripts/demo.sh

On a desktop, run scripts/demo.sh in a terminal of the desktop session.
EOT
  exit 0
fi

cat <<EOT

demo: starting the simulated cloud service, IM server and cameras (logs in $run).
demo: log in with mobile number 13800138000 and password kelvue123.
demo: double-click a camera to watch it; close the client to end the demo.

EOT
# Each demo starts from the demo data, so the tree looks as README.md describes it.
KELVUE_PEERS_RESET=1 exec "$root/scripts/with-peers.sh" "$run" "$client"
