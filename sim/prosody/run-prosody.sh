#!/usr/bin/env bash
# Runs prosody in the foreground from our own configuration, everything under one run folder.
# Usage: sim/prosody/run-prosody.sh RUN_FOLDER
# Environment: KELVUE_PROSODY_PORT (c2s port, default 5222), KELVUE_DEVICE_DOMAIN (virtual host,
# default kelvue.local), KELVUE_PROSODY_LOG_LEVEL (default info).
# The folder gets prosody.cfg.lua, data/ (accounts and rosters), certs/, prosody.pid, prosody.log.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
run=${1:?usage: run-prosody.sh RUN_FOLDER}
mkdir -p "$run/data" "$run/certs"
run=$(cd "$run" && pwd)
port=${KELVUE_PROSODY_PORT:-5222}
domain=${KELVUE_DEVICE_DOMAIN:-kelvue.local}
level=${KELVUE_PROSODY_LOG_LEVEL:-info}
sed -e "s|@RUN@|$run|g" -e "s|@C2S_PORT@|$port|g" -e "s|@DOMAIN@|$domain|g" \
    -e "s|@LOG_LEVEL@|$level|g" "$here/prosody.cfg.lua.in" > "$run/prosody.cfg.lua"
exec prosody --config "$run/prosody.cfg.lua" -F
