#!/usr/bin/env bash
# The checks of the Debian packages that are run before a release (not part of scripts/test.sh: they
# need root, a Debian mirror and several minutes):
#   1. make the packages: cmake --build BUILD --target package
#   2. lintian on both packages (what it reports is printed; errors fail the check)
#   3. a fresh Debian 12 root (debootstrap from the mirror apt uses) in which
#      `apt install ./kelvue_*.deb` must pull in Debian's packages only, and the installed client must
#      start offscreen as an ordinary user, writing into that user's ~/.local/share/kelvue;
#   4. then, in the same root, kelvue-sim installed too and started with kelvue-peers in a network
#      namespace of its own (so the fixed ports never meet the machine's), and the installed client
#      logging in automatically from a remembered account until its IM connection is up.
# Usage: scripts/package-check.sh [BUILD_DIR]      (KEEP_ROOT=1 keeps the Debian root for a look)
# Installs lintian and debootstrap when missing.
set -euo pipefail
root_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root_dir/build}
[ "$(id -u)" -eq 0 ] || { echo "package-check: needs root (debootstrap, chroot)" >&2; exit 1; }
say() { echo "package-check: $*"; }
fail() { echo "package-check: FAIL: $*" >&2; exit 1; }

missing=()
for tool in lintian debootstrap; do command -v "$tool" >/dev/null || missing+=("$tool"); done
if [ ${#missing[@]} -gt 0 ]; then
  say "installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# --- 1. The packages -------------------------------------------------------------------------------------
"$root_dir/scripts/build.sh" "$build"
rm -f "$build"/kelvue_*.deb "$build"/kelvue-sim_*.deb
cmake --build "$build" --target package >/dev/null
client_deb=$(ls "$build"/kelvue_*.deb)
sim_deb=$(ls "$build"/kelvue-sim_*.deb)
say "made $(basename "$client_deb") ($(du -h "$client_deb" | cut -f1)) and $(basename "$sim_deb") ($(du -h "$sim_deb" | cut -f1))"
dpkg-deb --field "$client_deb" Depends | sed 's/^/package-check: kelvue depends on: /'

# --- 2. lintian ------------------------------------------------------------------------------------------
lintian_status=0
for deb in "$client_deb" "$sim_deb"; do
  say "lintian $(basename "$deb"):"
  lintian --display-info "$deb" > "$build/lintian.out" 2>&1 || true
  sed 's/^/  /' "$build/lintian.out"
  grep -q '^E: ' "$build/lintian.out" && lintian_status=1
done
[ $lintian_status -eq 0 ] || fail "lintian reports errors"

# --- 3. A fresh Debian 12 root -------------------------------------------------------------------------
mirror=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
[ -n "$mirror" ] || mirror=$(awk '$1 == "deb" && $3 == "bookworm" {print $2; exit}' /etc/apt/sources.list 2>/dev/null)
mirror=${mirror:-http://deb.debian.org/debian}
target=$(mktemp -d /var/tmp/kelvue-debian12-XXXXXX)
chmod 755 "$target"  # the root of a system: every user passes through it
mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
  if [ "${KEEP_ROOT:-0}" = 1 ]; then say "kept the Debian root in $target"; else rm -rf "$target"; fi
}
trap cleanup EXIT
say "debootstrap bookworm from $mirror into $target"
debootstrap --variant=minbase bookworm "$target" "$mirror" > "$build/debootstrap.log" 2>&1 \
  || { tail -n 30 "$build/debootstrap.log" >&2; fail "debootstrap failed"; }
for fs in proc sys dev; do
  mount --bind "/$fs" "$target/$fs"
  mounted+=("$target/$fs")
done
cp "$client_deb" "$sim_deb" "$target/tmp/"
in_root() { chroot "$target" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }
in_root apt-get update -qq
say "apt install ./$(basename "$client_deb") in the fresh root"
in_root apt-get install -y "./tmp/$(basename "$client_deb")" > "$build/apt-install.log" 2>&1 \
  || { tail -n 30 "$build/apt-install.log" >&2; fail "apt install of the package failed"; }
grep -E '^[0-9]+ upgraded, [0-9]+ newly installed' "$build/apt-install.log" | sed 's/^/package-check: /'
# Every installed package but ours comes from the Debian archive (apt lists the others as "local").
local_packages=$(in_root apt list --installed 2>/dev/null | grep -F '[installed,local]' | cut -d/ -f1 || true)
[ "$local_packages" = kelvue ] || fail "packages not from Debian: $local_packages"

# The client as an ordinary user: it starts, shows the log-in window (offscreen) and keeps running.
in_root useradd --create-home --shell /bin/bash kelvueuser >/dev/null
in_root install -d -m 700 -o kelvueuser -g kelvueuser /tmp/runtime-kelvueuser
set +e
chroot --userspec=kelvueuser:kelvueuser "$target" env -i PATH=/usr/bin:/bin HOME=/home/kelvueuser \
  XDG_RUNTIME_DIR=/tmp/runtime-kelvueuser QT_QPA_PLATFORM=offscreen \
  timeout 15 /usr/bin/kelvue > "$build/debian12-client.out" 2>&1
status=$?
set -e
sed 's/^/  client: /' "$build/debian12-client.out"
[ $status -eq 124 ] || fail "the installed client ended with $status before the 15 s were up"
data=$target/home/kelvueuser/.local/share/kelvue
[ -f "$data/config.ini" ] && [ -d "$data/GLogFiles" ] || fail "nothing written into $data"
say "the installed client ran offscreen for 15 s as user kelvueuser; its data folder:"
(cd "$data" && find . -mindepth 1 | sort | sed 's/^/  /')

# --- 4. The service package and a log-in, in a network namespace of their own -----------------------------
say "apt install ./$(basename "$sim_deb") in the same root"
in_root apt-get install -y "./tmp/$(basename "$sim_deb")" > "$build/apt-install-sim.log" 2>&1 \
  || { tail -n 30 "$build/apt-install-sim.log" >&2; fail "apt install of the service package failed"; }
install -d -m 700 "$data/Vyr"
printf '[AccountCount]\nAccountCount=1\n[AccountIndex]\naccount0=13800138000\n[PassIndex]\npass0=kelvue123\n[windows]\nload=true\n' \
  > "$data/Vyr/LoginAccount.ini"
in_root chown -R kelvueuser:kelvueuser /home/kelvueuser/.local
cat > "$target/tmp/login-check.sh" <<'EOT'
#!/bin/sh
# Runs as kelvueuser inside the namespace: the peers, then the client until it is logged in.
set -u
log=$HOME/.local/share/kelvue/GLogFiles/mylog.INFO
kelvue-peers start || exit 3
QT_QPA_PLATFORM=offscreen GLOG_logbufsecs=0 /usr/bin/kelvue > /tmp/client-login.out 2>&1 &
client=$!
status=1
for i in $(seq 900); do
  if grep -q "im连接成功" "$log" 2>/dev/null; then status=0; break; fi
  kill -0 $client 2>/dev/null || break
  sleep 0.1
done
kill -TERM $client 2>/dev/null; wait $client
kelvue-peers stop
exit $status
EOT
chmod 755 "$target/tmp/login-check.sh"
set +e
unshare --net sh -c "ip link set lo up && chroot --userspec=kelvueuser:kelvueuser '$target' env -i PATH=/usr/bin:/bin \
  HOME=/home/kelvueuser XDG_RUNTIME_DIR=/tmp/runtime-kelvueuser /tmp/login-check.sh" > "$build/debian12-login.out" 2>&1
status=$?
set -e
sed 's/^/  /' "$build/debian12-login.out"
[ $status -eq 0 ] || { tail -n 20 "$target/tmp/client-login.out" "$data/GLogFiles/mylog.INFO" >&2 || true; fail "the installed client did not log in to the installed peers ($status)"; }
grep -E "FunQueryDeviceList e|im连接成功" "$data/GLogFiles/mylog.INFO" | sed 's/^/  log: /'
say "the installed client logged in to the installed kelvue-sim peers (network namespace of its own)"
say "PASS"
