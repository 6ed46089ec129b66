#!/usr/bin/env bash
# The Debian packages of this build: made with its CPack configuration (what `cmake --build BUILD
# --target package` runs), their dependencies and contents checked, and the client unpacked into a
# scratch root and run from there, as an installed program, against the running peers (cloudsim and
# prosody of the "peers" fixture) with a scratch HOME: first without an account (the log-in window),
# then logging in automatically from a prepared remembered account, then logged in on an X display
# that goes away (the client leaves through exit() and ends its IM session on the way). Everything it
# writes must land in the scratch data folder ($XDG_DATA_HOME/kelvue), nothing beside the executable or
# in the working folder. Last, the executable copied away from its skin must say so in a message box.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: package_test.sh BUILD_DIR}" && pwd)
scratch=$(mktemp -d /tmp/kelvue-package-XXXXXX)
client_pid=""
xvfb_pid=""
cleanup() {
  for pid in $client_pid $xvfb_pid; do kill -KILL "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "package_test: FAIL: $*" >&2; exit 1; }
step() { echo "package_test: $*"; }

# --- Making the packages ------------------------------------------------------------------------------
step "making the packages"
started=$SECONDS
cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" > "$scratch/cpack.log" 2>&1 \
  || { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
step "packages made in $((SECONDS - started)) s"
client_deb=$(ls "$scratch"/out/kelvue_*.deb)
sim_deb=$(ls "$scratch"/out/kelvue-sim_*.deb)

# --- Dependencies: computed from the binaries, the service side in a package of its own ---------------
dpkg-deb --info "$client_deb" > "$scratch/info"
depends=$(sed -n 's/^ Depends: //p' "$scratch/info")
[ -n "$depends" ] || { cat "$scratch/info" >&2; fail "dpkg-deb --info lists no Depends"; }
# libc6 and Qt from the executable, curl/glog from the client, FFmpeg, libyuv and PulseAudio's simple API
# from the private player library, gloox from the private IM library (both loaded at run time).
for dependency in libc6 libqt6widgets6 libqt6svg6 libgloox libcurl4 libjsoncpp libtinyxml \
                  libgoogle-glog libavcodec libavformat libswscale libyuv libpulse0 fonts-wqy-microhei; do
  grep -q "$dependency" <<< "$depends" || fail "Depends lacks $dependency: $depends"
done
for unwanted in prosody libsqlite3 kelvue-sim libqt6uitools6; do
  grep -q "$unwanted" <<< "$depends" && fail "the client depends on $unwanted: $depends"
done
dpkg-deb --field "$sim_deb" Depends | grep -q prosody || fail "kelvue-sim does not depend on prosody"

# --- Contents -----------------------------------------------------------------------------------------
dpkg-deb -c "$client_deb" | awk '{print $6}' | sed 's|/$||' | sort > "$scratch/client.list"
for file in ./usr/bin/kelvue ./usr/lib/kelvue/libffplayer.so ./usr/lib/kelvue/libkelvue_xmpp.so \
            ./usr/share/applications/kelvue.desktop \
            ./usr/share/icons/hicolor/scalable/apps/kelvue.svg ./usr/share/icons/hicolor/16x16/apps/kelvue.png \
            ./usr/share/icons/hicolor/48x48/apps/kelvue.png ./usr/share/icons/hicolor/256x256/apps/kelvue.png \
            ./usr/share/doc/kelvue/copyright ./usr/share/man/man1/kelvue.1.gz; do
  grep -qxF "$file" "$scratch/client.list" || fail "the client package lacks $file"
done
# The whole skin folder of the build, whatever windows and pictures it holds (but its notes, *.md).
(cd -P "$build/skin" && find . -type f ! -name '*.md' | sed 's|^\./|./usr/share/kelvue/skin/|' | sort) > "$scratch/skin.list"
missing=$(comm -23 "$scratch/skin.list" "$scratch/client.list")
[ -z "$missing" ] || fail "skin files missing from the package: $missing"
grep -E 'cloudsim|camsim|prosody' "$scratch/client.list" && fail "the client package holds the service side"
dpkg-deb -c "$sim_deb" | awk '{print $6}' > "$scratch/sim.list"
for file in ./usr/lib/kelvue-sim/cloudsim ./usr/lib/kelvue-sim/camsim ./usr/bin/kelvue-peers \
            ./usr/share/kelvue-sim/sim/prosody/prosody.cfg.lua.in; do
  grep -qxF "$file" "$scratch/sim.list" || fail "the service package lacks $file"
done

# --- The unpacked client: the player and IM stacks are not linked, the private libraries resolve ------
# The client loads usr/lib/kelvue/libffplayer.so, relative to itself, when the first player opens, and
# usr/lib/kelvue/libkelvue_xmpp.so when the IM connection first starts.
root=$scratch/root
dpkg-deb -x "$client_deb" "$root"
client=$root/usr/bin/kelvue
ldd "$client" > "$scratch/ldd"
grep -q "not found" "$scratch/ldd" && { cat "$scratch/ldd" >&2; fail "unresolved libraries"; }
grep -E 'libffplayer|libav|libsw|libpulse' "$scratch/ldd" && fail "the client links the player stack at load time"
grep -E 'libkelvue_xmpp|libgloox|libgnutls' "$scratch/ldd" && fail "the client links the IM stack at load time"
for library in libffplayer.so libkelvue_xmpp.so; do
  ldd "$root/usr/lib/kelvue/$library" > "$scratch/ldd-$library"
  grep -q "not found" "$scratch/ldd-$library" && { cat "$scratch/ldd-$library" >&2; fail "the libraries of $library are unresolved"; }
done

# --- Running it as installed ----------------------------------------------------------------------------
home=$scratch/home
data=$scratch/xdg-data
work=$scratch/work
runtime=$scratch/runtime
mkdir -p "$home/Desktop" "$work" "$runtime" "$scratch/cache" "$scratch/config"
chmod 700 "$runtime"
(cd "$root" && find . -printf '%p %s %m %T@\n' | sort) > "$scratch/tree.before"

log=$data/kelvue/GLogFiles/mylog.INFO
# Readiness checks of run_client. glog writes at once with GLOG_logbufsecs=0.
launcher_written() { [ -f "$home/Desktop/Kelvue.desktop" ] && sleep 2; }
logged_in() { grep -q "im连接成功" "$log" 2>/dev/null; }

# start_client SECONDS CHECK [DISPLAY]: starts the unpacked client ($program, by default $client) in
# $work (offscreen, or on the X display DISPLAY) and waits until CHECK succeeds.
start_client() {
  local limit=$1 check=$2 platform=(QT_QPA_PLATFORM=offscreen) i
  [ -z "${3:-}" ] || platform=(QT_QPA_PLATFORM=xcb DISPLAY="$3")
  (cd "$work" && exec env -i PATH=/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$data" \
      XDG_CACHE_HOME="$scratch/cache" XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$runtime" \
      "${platform[@]}" GLOG_logbufsecs=0 "${program:-$client}") >> "$scratch/client.out" 2>&1 &
  client_pid=$!
  for ((i = 0; i < limit * 10; i++)); do
    "$check" && break
    kill -0 "$client_pid" 2>/dev/null || { cat "$scratch/client.out" >&2; fail "the client ended early"; }
    sleep 0.1
  done
  "$check" || { cat "$scratch/client.out" "$log" >&2 || true; fail "$check: not within ${limit}s"; }
}

# await_client_end WHY: the client must end within 20 s of WHY.
await_client_end() {
  local i
  for ((i = 0; i < 200; i++)); do kill -0 "$client_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$client_pid" 2>/dev/null && fail "the client did not end after $1"
  wait "$client_pid" || true
  client_pid=""
}

# run_client SECONDS CHECK: start_client, then ends it with SIGTERM as a session would.
run_client() {
  start_client "$1" "$2"
  # A peer that goes away while the client writes to it must not end the client (SIGPIPE, bit 13).
  local ignored
  ignored=$(awk '/^SigIgn:/ { print $2 }' "/proc/$client_pid/status")
  (( (16#$ignored >> 12) & 1 )) || fail "the client does not ignore SIGPIPE (SigIgn $ignored)"
  kill -TERM "$client_pid"
  await_client_end SIGTERM
}

step "first start: the log-in window"
run_client 30 launcher_written
[ "$(stat -c %a "$data/kelvue")" = 700 ] || fail "the data folder is not private: $(stat -c %a "$data/kelvue")"
[ -f "$data/kelvue/config.ini" ] || fail "config.ini was not created in the data folder"

step "second start: automatic log-in from a remembered account"
mkdir -p -m 700 "$data/kelvue/Vyr"
printf '[AccountCount]\nAccountCount=1\n[AccountIndex]\naccount0=13800138000\n[PassIndex]\npass0=kelvue123\n[windows]\nload=true\n' \
  > "$data/kelvue/Vyr/LoginAccount.ini"
run_client 90 logged_in
grep -q "FunQueryDeviceList e" "$log" || fail "the main window did not query the device list"
[ -s "$data/kelvue/temp.txt" ] || fail "no service reply in temp.txt of the data folder"

# start_xvfb: an X display of its own in $display (its server $xvfb_pid).
start_xvfb() {
  exec 4> "$scratch/display"
  Xvfb -displayfd 4 -screen 0 1280x800x24 -nolisten tcp > /dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.05; done
  [ -s "$scratch/display" ] || fail "Xvfb did not start"
  display=":$(head -n 1 "$scratch/display")"
}

step "third start: logged in on a display that goes away"
start_xvfb
rm -f "$log"  # the link names the second start's log until this start makes its own
start_client 90 logged_in "$display"
kill "$xvfb_pid"
wait "$xvfb_pid" 2> /dev/null || true
xvfb_pid=""
await_client_end "its display went away"
grep -q "X11 connection broke" "$scratch/client.out" || { cat "$scratch/client.out" >&2; fail "the client did not leave for the lost display"; }
# exit() finishes like the close button: the IM session is ended (not cut off) after the last words.
sed -n '/the program ends/,$p' "$log" | grep -q "im断开连接" \
  || { tail -n 20 "$log" "$scratch/client.out" >&2; fail "the IM session was not ended on the way out"; }

# --- Where it wrote -------------------------------------------------------------------------------------
(cd "$root" && find . -printf '%p %s %m %T@\n' | sort) > "$scratch/tree.after"
diff "$scratch/tree.before" "$scratch/tree.after" > "$scratch/tree.diff" \
  || { cat "$scratch/tree.diff" >&2; fail "the client wrote into its installed tree"; }
[ -z "$(ls -A "$work")" ] || fail "the client wrote into its working folder: $(ls -A "$work")"
others=$(cd "$home" && find . -mindepth 1 ! -path ./Desktop ! -path ./Desktop/Kelvue.desktop)
[ -z "$others" ] || fail "the client wrote into HOME: $others"
launcher=$home/Desktop/Kelvue.desktop
grep -qxF "Exec=\"$client\"" "$launcher" || fail "the launcher does not start the installed client: $(cat "$launcher")"
grep -qxF "Path=$data/kelvue/" "$launcher" || fail "the launcher does not start in the data folder: $(cat "$launcher")"
step "written into the data folder:"
(cd "$data/kelvue" && find . -mindepth 1 | sort | sed 's/^/  /')

step "the executable copied away from its skin"
mkdir -p "$scratch/alone/bin"
program=$scratch/alone/bin/kelvue
cp "$client" "$program"
start_xvfb
missing_skin_said() { grep -q "skinLogin.xml cannot be read" "$scratch/client.out"; }
start_client 30 missing_skin_said "$display"
message_box_shown() { xwininfo -display "$display" -root -tree | grep -q '"Kelvue"'; }
for _ in $(seq 100); do message_box_shown && break; sleep 0.1; done
message_box_shown || fail "no message box tells that the skin is missing"
kill -TERM "$client_pid"
await_client_end "SIGTERM over its message box"
step "PASS"
