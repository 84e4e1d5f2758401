#!/usr/bin/env bash
# Installs what is needed, builds the application, makes the sample catalogue and opens it in
# Velumark. Give another catalogue as the argument to open that one instead.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup-debian.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target velumark velumark-cli

catalogue=${1:-"$PWD/Sample.vdb"}
if [ ! -e "$catalogue" ]; then
  build/src/cli/velumark-cli demo "$catalogue"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo
  echo "This machine has no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so Velumark's"
  echo "window cannot be shown here. The sample catalogue is ready at $catalogue."
  echo "To see the windows, run ./scripts/screenshots.sh: it runs Velumark under Xvfb and writes"
  echo "pictures of them into docs/screenshots/."
  exit 1
fi
exec build/src/gui/velumark "$catalogue"
