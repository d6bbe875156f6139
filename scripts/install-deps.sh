#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, test and run Quarnel.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
pkgs=(qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev libxkbcommon-dev
      libsqlite3-dev libcurl4-openssl-dev libturbojpeg0-dev libjpeg62-turbo-dev
      qt6-translations-l10n libgtest-dev fonts-liberation fonts-liberation2 fontconfig xvfb xauth
      pkg-config cmake g++ make python3)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
