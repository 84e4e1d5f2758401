#!/usr/bin/env bash
# Installs every Debian package that building, testing and benchmarking Velumark needs.
# Idempotent: packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins libqt6opengl6-dev qt6-svg-dev
  libsqlite3-dev sqlite3
  libicu-dev
  libavahi-client-dev avahi-daemon avahi-utils dbus-daemon libnss-myhostname
  libgtest-dev libgmock-dev libbenchmark-dev
  libvips-dev
  chromium poppler-utils
  iproute2 procps xvfb xauth
  desktop-file-utils libxml2-utils shared-mime-info
  clang-format
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
