#!/usr/bin/env bash
# Takes the help pages' screenshots from the real window, under Xvfb, in English (the
# pictures of VORNHelp.htm) or in French (those of VORNHelp-fr.htm, named NAME-fr.png):
#   scripts/help-screenshots.sh [build folder] [en|fr]
# A scratch home holds a data folder with a few discs catalogued by vorn-cli (the
# bundled sample disc, an ISO image made from part of it, a folder of this machine's
# documentation), with keywords, a description and bookmarks; the window starts over
# it with a second sample folder standing for an uncatalogued disc in drive V:, and
# each screenshot is one step a user takes. The window lies at (0, 0), 1100 x 720.
# Needs xvfb-run, xdotool, ImageMagick (import, convert) and genisoimage; Chromium for
# the picture of an exported page.
# The pictures go to resources/help/help-images/ as 256-colour PNG files.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
language="${2:-en}"
out="$root/resources/help/help-images"
mkdir -p "$out"

# The texts and places that differ between the languages: the settings' language, the
# discs' names and descriptions, the picture names' suffix, and the horizontal places of
# the File and Discs menus. The sample disc's line of the disc list comes from the
# names' order.
if [ "$language" = fr ]; then
    setting=0 suffix=-fr file_menu=28 discs_menu=75 sample_y=103
    sample="Disque d'exemple" holidays="Vacances 2024" docs_name="Documentation du système"
    keywords_a="Logiciels;Photos" keywords_b="Photos;Musique" keywords_c="Documentation"
    about="Le disque d'exemple livré avec VORN : documents, images, musique et outils."
    note_install="Comment installer les outils" note_cover="Image de la pochette" note_bash="Manuels de Bash"
else
    setting=1000 suffix= file_menu=20 discs_menu=60 sample_y=121
    sample="Sample disc" holidays="Holidays 2024" docs_name="System documentation"
    keywords_a="Software;Photos" keywords_b="Photos;Music" keywords_c="Docs"
    about="The sample disc that comes with VORN: documents, pictures, music and tools."
    note_install="How to install the tools" note_cover="Cover picture" note_bash="Bash manuals"
fi

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
mkdir -p "$XDG_CONFIG_HOME/VORN"
cat >"$XDG_CONFIG_HOME/VORN/VORN.conf" <<EOF
[Opt]
Langage=$setting
[Pos]
Left=0
Top=0
Width=1100
Height=720
EOF

# The catalogue: three discs with keywords, a description and bookmarks.
cli="$build/src/app/vorn-cli"
"$cli" catalog "$root/samples/disc" --name "$sample" --id 1001 --keywords "$keywords_a" >/dev/null
genisoimage -quiet -J -R -joliet-long -V "HOLIDAYS" -o "$scratch/holidays.iso" \
    "$root/samples/disc/Photos" "$root/samples/disc/Music"
"$cli" catalog "$scratch/holidays.iso" --name "$holidays" --keywords "$keywords_b" >/dev/null
docs="$scratch/docs"
mkdir -p "$docs"
for package in bash coreutils tar gzip; do
    [ -d "/usr/share/doc/$package" ] && cp -r "/usr/share/doc/$package" "$docs/" || true
done
"$cli" catalog "$docs" --name "$docs_name" --id 1003 --keywords "$keywords_c" >/dev/null
"$cli" describe 1001 "$about" >/dev/null
"$cli" bookmark 1001 'Docs\INSTALL.TXT' --description "$note_install" >/dev/null
"$cli" bookmark 1001 'Photos\sunset.png' --description "$note_cover" >/dev/null
"$cli" bookmark 1003 'bash\' --description "$note_bash" >/dev/null
# An image not catalogued yet, for "Catalogue an image...".
genisoimage -quiet -J -R -joliet-long -V "TOOLS_2023" -o "$scratch/tools-2023.iso" "$root/samples/disc/Tools"

# A cover picture for the sample disc.
convert -size 360x360 gradient:'#f4c050-#2a4a80' -fill white -stroke '#1a2a50' -strokewidth 3 \
    -draw 'circle 180,180 180,40' -fill '#2a4a80' -draw 'circle 180,180 180,150' \
    -fill white -stroke none -pointsize 30 -gravity south -annotate +0+12 "$sample" "$scratch/cover.png"

# The disc in drive V: a folder not catalogued yet.
drive="$scratch/drive"
mkdir -p "$drive"
cp -r "$root/samples/disc/Docs" "$root/samples/disc/README.TXT" "$drive/"
printf 'serial=777\nlabel=NEW_DISC\n' >"$drive/.vorn-volume"
export VORN_DRIVES="V=$drive"

# The steps, run inside the virtual display. Places are those of the window at
# 1100 x 720: the disc list's lines at y = 67 (drive V:), 85 (separator), 103, 121,
# 139 (discs by name); the folder tree's lines from y = 93 by 18.
cat >"$scratch/steps.sh" <<STEPS
set -e
click() { xdotool mousemove "\$1" "\$2" click "\${3:-1}"; sleep "\${4:-0.8}"; }
# shoot NAME [GEOMETRY]: the screen (the window and any dialog over it), cut to
# GEOMETRY (the whole window by default), as help-images/NAME.png.
shoot() {
    sleep 1
    import -window root "$scratch/screen.png"
    convert "$scratch/screen.png" -crop "\${2:-1100x720+0+0}" +repage -strip -colors 256 "PNG8:$out/\$1$suffix.png"
}
"$build/src/app/vorn" & pid=\$!
sleep 5

# Browsing: the sample disc, its Docs folder and the text of INSTALL.TXT.
click 60 $sample_y
click 385 111
click 560 129
shoot browse

# The file pane in large icons: right-click, List view, Large icons; then back to
# the details.
click 385 93
click 800 300 3 0.5
xdotool mousemove 860 310; sleep 0.8
click 980 310
shoot icons 800x200+300+56
click 800 300 3 0.5
xdotool mousemove 860 310; sleep 0.8
click 980 376

# The disc description and the keyword manager.
click 141 482
shoot description 302x720+0+0
xdotool key F4
shoot keywords
xdotool key Escape; sleep 0.5

# The disc properties (toolbar) of the sample disc.
click 85 38
shoot properties
xdotool key Escape; sleep 0.5

# Cataloguing the disc in drive V:.
click 60 67
click $discs_menu 8 1 0.4
xdotool key Down Return
shoot catalogue
xdotool key Escape; sleep 0.8

# Cataloguing an image: File, Catalogue an image..., then the image's name.
click 60 $sample_y
click $file_menu 8 1 0.4
xdotool key Down Down Down Return; sleep 1
xdotool type --delay 20 "$scratch/tools-2023.iso"; xdotool key Return
shoot image
xdotool key Escape; sleep 0.8

# The bookmarks of the catalogue.
click 60 $sample_y
xdotool key F11; sleep 0.8
click 360 212
shoot bookmarks

# A search for every text file.
xdotool key F9; sleep 0.8
click 700 186
xdotool type --delay 40 "*.txt"; xdotool key Return; sleep 1.5
shoot search

# A cover for the sample disc: Choose a picture, then the picture's name.
xdotool key F8; sleep 0.8
click 363 142
xdotool type --delay 20 "$scratch/cover.png"; xdotool key Return
shoot cover

# The HTML export window, then the disc export window, from the File menu.
click 60 $sample_y
click $file_menu 8 1 0.4
xdotool key Down Down Down Down Down Return; sleep 1
shoot export-html
xdotool key Escape; sleep 0.8
click $file_menu 8 1 0.4
xdotool key Down Down Down Down Return; sleep 1
shoot export
xdotool key Escape; sleep 0.5

kill \$pid
STEPS
xvfb-run -a -s "-screen 0 1280x800x24" bash "$scratch/steps.sh" 2>"$scratch/xvfb.log" || {
    tail -20 "$scratch/xvfb.log"
    exit 1
}
# A page of the HTML export, as a browser shows it (headless Chromium, when there).
browser="$(command -v chromium || command -v chromium-browser || true)"
if [ -n "$browser" ]; then
    "$cli" export-html "$scratch/site/catalogue.html" --desc --keywords --contents --borders >/dev/null
    "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars --proxy-server=127.0.0.1:9 \
        --disable-javascript --window-size=900,520 --screenshot="$scratch/page.png" \
        "file://$scratch/site/catalogue_files/1001.htm" >/dev/null 2>&1
    convert "$scratch/page.png" -strip -colors 256 "PNG8:$out/export-page$suffix.png"
else
    echo "no chromium: export-page$suffix.png not remade" >&2
fi
ls -la "$out"
