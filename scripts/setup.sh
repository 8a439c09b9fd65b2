#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what building, testing and running Nimbra need on Debian 12 (run as root).
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  qt6-base-dev libgl-dev libfontconfig-dev
  xvfb xauth xdotool fonts-noto-cjk locales-all qt6-translations-l10n
  dpkg-dev desktop-file-utils librsvg2-bin xdg-utils lintian appstream
  ppp python3
  dbus dconf-gsettings-backend dconf-cli gsettings-desktop-schemas libkf5config-bin
  libproxy-tools libproxy1-plugin-gsettings libproxy1-plugin-kconfig
  python3-pyatspi at-spi2-core
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The peers file the pppd dial-up service calls pppd with (the tests start the real pppd).
peers_file="$(dirname "$0")/../data/ppp/nimbra"
install -D -m 0640 -g dip "$peers_file" /etc/ppp/peers/nimbra
