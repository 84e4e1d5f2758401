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
app=(xvfb-run --auto-servernum --server-args="-screen 0 1400x1000x24" build/src/gui/velumark)
shoot() { "${app[@]}" "$@" "$work/Sample.vdb"; }
shoot --screenshot "artworks=$out/main-window.png" --screenshot "clients=$out/clients.png" \
  --screenshot "submissions=$out/submissions.png" --screenshot "statistics=$out/statistics.png" \
  --screenshot "file-menu=$out/file-menu.png" --screenshot "view-menu=$out/view-menu.png" \
  --screenshot "preferences=$out/preferences.png" --screenshot "about=$out/about.png"
shoot --dark-palette --screenshot "artworks=$out/main-window-dark.png" \
  --screenshot "preferences=$out/preferences-dark.png"
# The editor sheets over the main window, for the first records of the catalogue and for new ones.
shoot --screenshot "artwork-sheet=$out/artwork-sheet.png" --screenshot "new-artwork-sheet=$out/new-artwork-sheet.png" \
  --screenshot "client-sheet=$out/client-sheet.png" --screenshot "new-client-sheet=$out/new-client-sheet.png" \
  --screenshot "submission-sheet=$out/submission-sheet.png" \
  --screenshot "new-submission-sheet=$out/new-submission-sheet.png" \
  --screenshot "client-history=$out/client-history.png"
shoot --dark-palette --screenshot "artwork-sheet=$out/artwork-sheet-dark.png" \
  --screenshot "client-sheet=$out/client-sheet-dark.png" --screenshot "submission-sheet=$out/submission-sheet-dark.png" \
  --screenshot "client-history=$out/client-history-dark.png"
# The contacts window shows a folder of contact cards, remembered as the last one chosen.
mkdir -p "$work/cards" "$work/config/Velumark"
for person in "Lee;Ann;Harbour Gallery;ann@harbour.example" "Berg;Bo;;bo@berg.example" \
              "Cole;Cy;Cole Collection;cy@cole.example"; do
  IFS=';' read -r last first org mail <<< "$person"
  printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nN:%s;%s;;;\r\nORG:%s\r\nEMAIL;TYPE=work:%s\r\nEND:VCARD\r\n' \
    "$last" "$first" "$org" "$mail" > "$work/cards/$last.vcf"
done
printf '[Contacts]\nsource=%s\n' "$work/cards" > "$work/config/Velumark/Velumark.conf"
shoot --screenshot "import-csv=$out/import-csv.png" --screenshot "export-vdbi=$out/export-vdbi.png" \
  --screenshot "progress=$out/progress.png" --screenshot "report=$out/report.png" \
  --screenshot "contacts=$out/contacts.png"
# The device window beside a device announced on a private loopback-only network; the stage
# needs root, and says why on stderr when it shows the window without a device.
stage=build/tests/velumark-device-stage
if cmake --build build -j "$(nproc)" --target velumark-device-stage > /dev/null; then
  "$stage" --name "Studio iPad" -- "${app[@]}" --screenshot "device-import=$out/device-import.png" "$work/Sample.vdb"
else
  echo "screenshots.sh: velumark-device-stage could not be built, so the device window is shown without a device" >&2
  shoot --screenshot "device-import=$out/device-import.png"
fi
shoot --dark-palette --screenshot "import-csv=$out/import-csv-dark.png" \
  --screenshot "contacts=$out/contacts-dark.png"
# The photo grid and the viewer: the sample's photos added once more to one artwork, through the
# command line, so that its grid holds a few.
mkdir -p "$work/shoot"
for photo in "$work"/Sample.vdb/vl-*.jpg; do
  case "$photo" in *t.jpg) ;; *) cp "$photo" "$work/shoot/" ;; esac
done
build/src/cli/velumark-cli add-photos "$work/Sample.vdb" "Blue Light" "$work"/shoot/*.jpg > /dev/null
shoot --screenshot "photo-grid=$out/photo-grid.png" --screenshot "photo-viewer=$out/photo-viewer.png"
shoot --dark-palette --screenshot "photo-viewer=$out/photo-viewer-dark.png"
# Printouts, first pages only: each list, an artwork's sheet and what is out at one client.
print() { build/src/cli/velumark-cli print "$work/Sample.vdb" "$@" > /dev/null; }
for list in artworks clients submissions; do print "$list" "$work/$list.pdf"; done
print artworks "$work/sheet.pdf" --record "Blue Light"
print clients "$work/outstanding.pdf" --record "Harbour Museum of Art" --outstanding
for name in artworks clients submissions sheet outstanding; do
  pdftoppm -png -r 80 -singlefile -f 1 -l 1 "$work/$name.pdf" "$out/print-$name"
done
echo "Pictures written to $out/"
