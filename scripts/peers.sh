#!/usr/bin/env bash
# Starts, stops or reports the simulated service side that the client talks to: prosody (the IM
# server), cloudsim (the cloud service's HTTP interface) and, once built, camsim (the cameras).
# Every peer runs in the background from one run folder: <name>.pid, <name>.log, prosody/ (its
# configuration and data), cloudsim.db.
#
# Usage: scripts/peers.sh start|stop|status [RUN_FOLDER]     (RUN_FOLDER defaults to <repo>/run/peers)
# Environment (all optional):
#   KELVUE_CLOUDSIM_PORT   cloudsim's HTTP port, default 8000 (the client's service port)
#   KELVUE_PROSODY_PORT    prosody's client port, default 5222
#   KELVUE_DEVICE_DOMAIN   the IM domain of users and cameras, default kelvue.local
#   KELVUE_CLOUDSIM        the cloudsim program, default <repo>/build/sim/cloudsim/cloudsim
#   KELVUE_CAMSIM          the camsim program, default <repo>/build/sim/camsim/camsim
#   KELVUE_CAMSIM_PORT     camsim's control port, default 8090
#   KELVUE_PEERS_RESET=1   start from the demo data (cloudsim --reset) instead of the last state
#   KELVUE_PEERS_WAIT      seconds to wait for a port that another run still holds, default 300
#
# "start" first stops whatever the last run in the same folder left behind (by its pidfiles), waits
# until the ports are free, provisions the IM accounts from cloudsim's database, starts the peers and
# returns once each of them listens. It fails with a message and the log's tail if one does not come up.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
action=${1:-}
run=${2:-$root/run/peers}

cloudsim_port=${KELVUE_CLOUDSIM_PORT:-8000}
prosody_port=${KELVUE_PROSODY_PORT:-5222}
domain=${KELVUE_DEVICE_DOMAIN:-kelvue.local}
cloudsim_bin=${KELVUE_CLOUDSIM:-$root/build/sim/cloudsim/cloudsim}
camsim_port=${KELVUE_CAMSIM_PORT:-8090}
camsim_bin=${KELVUE_CAMSIM:-$root/build/sim/camsim/camsim}
port_wait=${KELVUE_PEERS_WAIT:-300}

# The peers in start order; "stop" goes through them in reverse.
PEERS=(prosody cloudsim camsim)

die() { echo "peers.sh: $*" >&2; exit 1; }

port_of() {
  case $1 in
    prosody) echo "$prosody_port" ;;
    cloudsim) echo "$cloudsim_port" ;;
    *) "port_$1" ;;
  esac
}

# True when something accepts connections on 127.0.0.1:PORT.
listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# True while the process runs (a zombie waiting for its parent to reap it has ended already).
alive() {
  local state
  state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ]
}

# The pid recorded for a peer, if that process still runs and belongs to this run folder (a pid
# reused by an unrelated process is never signalled).
live_pid() {
  local pidfile=$run/$1.pid pid
  [ -f "$pidfile" ] || return 1
  pid=$(cat "$pidfile")
  [[ $pid =~ ^[0-9]+$ ]] || return 1
  [ -r "/proc/$pid/cmdline" ] || return 1
  tr '\0' ' ' < "/proc/$pid/cmdline" | grep -qF -- "$run" || return 1
  echo "$pid"
}

stop_peer() {
  local name=$1 pid i
  if pid=$(live_pid "$name"); then
    kill -TERM "$pid" 2>/dev/null || true
    for i in $(seq 100); do
      alive "$pid" || break
      sleep 0.05
    done
    if alive "$pid"; then
      echo "peers.sh: $name (pid $pid) ignored SIGTERM, killing it" >&2
      kill -KILL "$pid" 2>/dev/null || true
    fi
    echo "stopped $name (pid $pid)"
  fi
  rm -f "$run/$name.pid"
}

# The program listening on 127.0.0.1:PORT as ss reports it ("users:(("prosody",pid=...))"), if known.
port_holder() { ss -ltnpH "sport = :$1" 2>/dev/null | grep -o 'users:.*' | head -n 1 || true; }

wait_port_free() {
  local name=$1 port=$2 i
  for ((i = 0; i < port_wait * 10; i++)); do
    listening "$port" || return 0
    if ((i == 0)); then
      echo "peers.sh: port $port ($name) is held by another program $(port_holder "$port"); waiting up to ${port_wait}s" >&2
    fi
    sleep 0.1
  done
  die "port $port for $name is still in use after ${port_wait}s: $(port_holder "$port")"
}

# launch NAME COMMAND...: runs the command in the background with its own log and pidfile. The peer
# does not inherit the start lock (descriptor 9): it would hold it for as long as it runs.
launch() {
  local name=$1
  shift
  setsid "$@" > "$run/$name.log" 2>&1 < /dev/null 9>&- &
  echo $! > "$run/$name.pid"
}

wait_listening() {
  local name=$1 port=$2 pid i
  pid=$(cat "$run/$name.pid")
  for i in $(seq 200); do
    if listening "$port"; then
      echo "started $name (pid $pid) on 127.0.0.1:$port"
      return 0
    fi
    if ! alive "$pid"; then break; fi
    sleep 0.05
  done
  echo "peers.sh: $name did not come up on port $port; end of $run/$name.log:" >&2
  tail -n 20 "$run/$name.log" >&2 || true
  stop_all
  exit 1
}

have_cloudsim() { [ -x "$cloudsim_bin" ]; }

start_prosody() {
  KELVUE_PROSODY_PORT=$prosody_port KELVUE_DEVICE_DOMAIN=$domain \
    launch prosody "$root/sim/prosody/run-prosody.sh" "$run/prosody"
}

cloudsim_args() {
  echo --db "$run/cloudsim.db" --port "$cloudsim_port" --im-host 127.0.0.1 --im-port "$prosody_port" \
    --im-domain "$domain" --im-data "$run/prosody/data" --im-config "$run/prosody/prosody.cfg.lua"
}

# Writes every user and camera account of the database (and the users' rosters) into prosody's
# data folder; with KELVUE_PEERS_RESET=1 the database goes back to the demo data first.
provision() {
  have_cloudsim || return 0
  local reset=()
  [ "${KELVUE_PEERS_RESET:-0}" = 1 ] && reset=(--reset)
  # shellcheck disable=SC2046
  "$cloudsim_bin" $(cloudsim_args) "${reset[@]}" --provision-only > "$run/provision.log" 2>&1 \
    || { cat "$run/provision.log" >&2; die "provisioning the IM accounts failed"; }
}

# camsim runs the cameras of cloudsim's database; it opens its control port once they are logged in.
port_camsim() { echo "$camsim_port"; }
start_camsim() {
  launch camsim "$camsim_bin" --db "$run/cloudsim.db" --control-port "$camsim_port" --im-port "$prosody_port" \
    --domain "$domain" --cloudsim-port "$cloudsim_port"
}

start_cloudsim() {
  # shellcheck disable=SC2046
  launch cloudsim "$cloudsim_bin" $(cloudsim_args)
}

active_peers() {
  local name
  for name in "${PEERS[@]}"; do
    if [ "$name" = cloudsim ] && ! have_cloudsim; then
      echo "peers.sh: $cloudsim_bin is not built; running without cloudsim" >&2
      continue
    fi
    if [ "$name" = camsim ] && { ! have_cloudsim || [ ! -x "$camsim_bin" ]; }; then
      echo "peers.sh: camsim or cloudsim is not built; running without camsim" >&2
      continue
    fi
    echo "$name"
  done
}

stop_all() {
  local i
  for ((i = ${#PEERS[@]} - 1; i >= 0; i--)); do stop_peer "${PEERS[i]}"; done
}

start_all() {
  mkdir -p "$run"
  run=$(cd "$run" && pwd)
  stop_all
  local names name
  names=$(active_peers)
  # One start at a time on this machine: two runs must not both see a free port and race for it.
  # The lock is held only while starting; a running stack is seen by its ports.
  local lock=/tmp/kelvue-peers-$cloudsim_port.lock
  exec 9> "$lock"
  if ! flock -n 9; then
    echo "peers.sh: another peers.sh is starting its peers ($lock); waiting up to ${port_wait}s" >&2
    flock -w "$port_wait" 9 || die "$lock is still held after ${port_wait}s"
  fi
  for name in $names; do wait_port_free "$name" "$(port_of "$name")"; done
  provision
  for name in $names; do
    "start_$name"
    wait_listening "$name" "$(port_of "$name")"
  done
}

status_all() {
  local name pid state=0
  for name in "${PEERS[@]}"; do
    if pid=$(live_pid "$name"); then
      echo "$name: running (pid $pid, port $(port_of "$name"))"
    else
      echo "$name: stopped"
      state=3
    fi
  done
  return $state
}

case $action in
  start) start_all ;;
  stop) if [ -d "$run" ]; then run=$(cd "$run" && pwd); stop_all; fi ;;
  status) if [ -d "$run" ]; then run=$(cd "$run" && pwd); fi; status_all ;;
  *) die "usage: peers.sh start|stop|status [RUN_FOLDER]" ;;
esac
