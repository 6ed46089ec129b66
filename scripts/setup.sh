#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test, benchmark and run its demo.
# Idempotent: packages already present are skipped, so a second run costs a dpkg query.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config git python3
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-tools-dev qt6-tools-dev-tools libqt6uitools6 qt6-svg-dev libqt6opengl6-dev libxkbcommon-dev libgl-dev
  libfontconfig-dev libpng-dev
  libgloox-dev prosody lua-bitop
  ffmpeg libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev libpulse-dev libyuv-dev
  libcurl4-openssl-dev libjsoncpp-dev rapidjson-dev libtinyxml-dev libgoogle-glog-dev
  libsqlite3-dev sqlite3 libcpp-httplib-dev
  xvfb xauth x11-utils imagemagick fonts-wqy-microhei xdg-user-dirs xdg-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#PACKAGES[@]} packages present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
# Debian starts prosody as a system service on install; our scripts run their own instances.
if command -v systemctl >/dev/null 2>&1; then $SUDO systemctl disable --now prosody >/dev/null 2>&1 || true; fi
$SUDO service prosody stop >/dev/null 2>&1 || true
echo "setup: done"
