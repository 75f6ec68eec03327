#!/usr/bin/env bash
# Installs every Debian package the project needs, then configures and builds.
# Idempotent: packages already present are skipped by apt, the build is incremental.
#   scripts/setup.sh [preset]   (default preset: "default", build folder build/)
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config ccache git
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libgtk-3-dev libwebkit2gtk-4.1-dev libcairo2-dev libpango1.0-dev libx11-dev libxext-dev
  libegl-dev
  libtinyxml-dev libjsoncpp-dev libcurl4-openssl-dev libzip-dev zip unzip
  libcpp-httplib-dev libssl-dev zlib1g-dev libbrotli-dev
  libsodium-dev libsecret-1-dev dbus gnome-keyring
  xvfb xauth xdotool imagemagick fonts-wqy-microhei xdg-utils desktop-file-utils
  procps psmisc iproute2
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

preset="${1:-default}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
