#!/usr/bin/env bash
# Takes pictures of Velumark's windows on the sample catalogue, on a virtual display (Xvfb), into
# docs/screenshots/: once in the desktop's light style, once in a dark palette. The settings,
# data and cache folders are temporary, so the user's own are never touched.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup-debian.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target velumark velumark-cli

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache"
export LC_ALL=C.UTF-8 TZ=Europe/Berlin
build/src/cli/velumark-cli demo "$work/Sample.vdb" > /dev/null

out=docs/screenshots
mkdir -p "$out"
shoot() {
  xvfb-run --auto-servernum --server-args="-screen 0 1400x1000x24" \
    build/src/gui/velumark "$@" "$work/Sample.vdb"
}
shoot --screenshot "artworks=$out/main-window.png" --screenshot "clients=$out/clients.png" \
  --screenshot "submissions=$out/submissions.png" --screenshot "statistics=$out/statistics.png" \
  --screenshot "file-menu=$out/file-menu.png" \
  --screenshot "preferences=$out/preferences.png" --screenshot "about=$out/about.png"
shoot --dark-palette --screenshot "artworks=$out/main-window-dark.png" \
  --screenshot "preferences=$out/preferences-dark.png"
echo "Pictures written to $out/"
