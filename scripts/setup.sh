#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the programs and the tests need and
# is not there yet. Safe to run again; does nothing when everything is present.
set -euo pipefail

packages=(
  cmake g++ make pkg-config googletest libgtest-dev
  libsdl2-dev libfontconfig-dev fonts-liberation fonts-dejavu-core
  libgl-dev libosmesa6-dev
  xvfb xdotool x11-apps x11-xkb-utils imagemagick
  mingw-w64 wine wine64
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
