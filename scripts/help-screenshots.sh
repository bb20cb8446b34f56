#!/usr/bin/env bash
# Takes the help page's screenshots from the real window, under Xvfb, in English:
#   scripts/help-screenshots.sh [build folder]
# A scratch home holds a data folder with a few discs catalogued by vorn-cli (the
# bundled sample disc, an ISO image made from it, a folder of this machine's
# documentation); the window starts over it with a second sample folder standing for
# an uncatalogued disc in drive V:, and each screenshot is one step a user takes.
# Needs xvfb-run, xdotool, ImageMagick (import, convert) and genisoimage.
# The pictures go to resources/help/images/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
out="$root/resources/help/images"
mkdir -p "$out"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
mkdir -p "$XDG_CONFIG_HOME/VORN"
cat >"$XDG_CONFIG_HOME/VORN/VORN.conf" <<EOF
[Opt]
Langage=1000
[Pos]
Left=0
Top=0
Width=1100
Height=720
EOF

# The catalogue: three discs with keywords and descriptions.
cli="$build/src/app/vorn-cli"
"$cli" catalog "$root/samples/disc" --name "Sample disc" --id 1001 --keywords "Software;Photos" >/dev/null
genisoimage -quiet -J -R -V "HOLIDAYS" -o "$scratch/holidays.iso" "$root/samples/disc/Photos" "$root/samples/disc/Music"
"$cli" catalog "$scratch/holidays.iso" --name "Holidays 2024" --keywords "Photos;Music" >/dev/null
docs="$scratch/docs"
mkdir -p "$docs"
for package in bash coreutils tar gzip; do
    [ -d "/usr/share/doc/$package" ] && cp -r "/usr/share/doc/$package" "$docs/" || true
done
"$cli" catalog "$docs" --name "System documentation" --id 1003 --keywords "Docs" >/dev/null
"$cli" describe 1001 "The sample disc that comes with VORN: documents, pictures, music and tools." >/dev/null

# The disc in drive V: a folder not catalogued yet.
drive="$scratch/drive"
mkdir -p "$drive"
cp -r "$root/samples/disc/Docs" "$root/samples/disc/README.TXT" "$drive/"
printf 'serial=777\nlabel=NEW_DISC\n' >"$drive/.vorn-volume"
export VORN_DRIVES="V=$drive"

# The steps, run inside the virtual display: each screenshot is one step a user takes.
cat >"$scratch/steps.sh" <<STEPS
set -e
shoot() {   # shoot NAME: the window (and any dialog over it) as images/NAME.png
    sleep 1.2
    import -window root "$scratch/screen.png"
    convert "$scratch/screen.png" -crop 1100x720+0+0 +repage -strip "$out/\$1.png"
}
"$build/src/app/vorn" & pid=\$!
sleep 5
# The disc list: the sample disc shown in the browse tab.
xdotool mousemove 60 121 click 1; sleep 1
shoot browse
# The keyword manager.
xdotool key F4; shoot keywords; xdotool key Escape
# A search for every text file.
xdotool key F9; sleep 1
xdotool type --delay 40 "*.txt"; xdotool key Return
shoot search
# Cataloguing the disc in the drive.
xdotool key F7; xdotool mousemove 60 67 click 1; sleep 1
xdotool key alt+d; sleep 0.4; xdotool key Return
shoot catalogue; xdotool key Escape
# The HTML export window.
xdotool key alt+f; sleep 0.4; xdotool key Up Up Up; sleep 0.3
shoot export-menu; xdotool key Escape Escape
kill \$pid
STEPS
xvfb-run -a -s "-screen 0 1280x800x24" bash "$scratch/steps.sh" 2>"$scratch/xvfb.log" || {
    tail -20 "$scratch/xvfb.log"
    exit 1
}
ls -la "$out"
