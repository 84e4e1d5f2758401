#!/usr/bin/env bash
# Installs what is needed, builds the command-line tool, makes the sample catalogue and shows
# its statistics and its three lists.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup-debian.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target velumark-cli
cli=build/src/cli/velumark-cli

catalogue=${1:-"$PWD/Sample.vdb"}
if [ ! -e "$catalogue" ]; then
  "$cli" demo "$catalogue"
fi
echo; echo "== Statistics"; "$cli" stats "$catalogue"
echo; echo "== Artworks";   "$cli" list artworks "$catalogue"
echo; echo "== Clients";    "$cli" list clients "$catalogue"
echo; echo "== Submissions"; "$cli" list submissions "$catalogue"
