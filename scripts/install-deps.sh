#!/usr/bin/env bash
# Installs the Debian packages Pawlane needs to build, run and test; the one list.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
  nlohmann-json3-dev libcurl4-openssl-dev libssl-dev libplist-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libcpp-httplib-dev libpq-dev postgresql curl
  xvfb xauth openbox xcompmgr xdotool x11-utils x11-xserver-utils imagemagick dbus dbus-x11 libxcb1-dev
  clang libclang-rt-14-dev
  fonts-dejavu-core oneko
)

missing=()
for p in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == *"install ok installed"* ]] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then sudo="sudo"; else
    echo "Please install as root: apt-get install ${missing[*]}" >&2; exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
