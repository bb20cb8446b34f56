#!/usr/bin/env bash
# Renders exported pages in headless Chromium (Debian's "chromium" package) so that a
# developer can look at them: the index of a small catalogue, the contents page of a
# disc with 5,000 files and a 250-character name, and a search-result page, each at
# 1280 and 1920 pixels wide, with JavaScript off and no network.
# Run by hand: scripts/export-screenshots.sh [OUTPUT_FOLDER]  (default /tmp/vorn-pages)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VORN_BUILD_DIR:-$root/build}"
out="${1:-/tmp/vorn-pages}"
cli="$build/src/app/vorn-cli"
browser="$(command -v chromium || command -v chromium-browser || true)"
[ -x "$cli" ] || { echo "build vorn-cli first ($cli)" >&2; exit 1; }
[ -n "$browser" ] || { echo "install Debian's chromium package first" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out/disc" "$out/data" "$out/config"
# Settings of our own, so the user's data folders and options are left alone.
export XDG_CONFIG_HOME="$out/config"

# A disc of one folder of 5,000 files, one of them with a 250-character name.
for n in $(seq -w 1 5000); do : > "$out/disc/picture_${n}_holiday.jpg"; done
long="$(printf 'a_very_long_file_name_%.0s' $(seq 1 12))"
: > "$out/disc/${long:0:246}.txt"
"$cli" --data "$out/data" catalog "$out/disc" --name "Wide folder" --id 777 --keywords "Photos" > /dev/null
"$cli" --data "$out/data" catalog "$root/samples/disc" --name "Sample disc" --id 1234 --keywords "Photos;Music" > /dev/null

"$cli" --data "$out/data" export-html "$out/site/catalogue.html" --desc --keywords --contents --borders
"$cli" --data "$out/data" export-list "$out/site/results.html" --source results --html holiday

# No network (a proxy that answers nothing) and no JavaScript.
shoot() { # page width name
    "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars \
        --proxy-server=127.0.0.1:9 --disable-javascript \
        --window-size="$2,1000" --screenshot="$out/$3-$2.png" "file://$1" > /dev/null 2>&1
}
for width in 1280 1920; do
    shoot "$out/site/catalogue.html" "$width" index
    shoot "$out/site/catalogue_files/777.htm" "$width" contents-777
    shoot "$out/site/catalogue_files/1234.htm" "$width" contents-1234
    shoot "$out/site/results.html" "$width" results
done
ls "$out"/*.png
