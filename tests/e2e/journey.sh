#!/bin/bash
# A person's way through the program: started with nothing stored, it leaves the
# wallpaper alone; the icon (its tooltip "Mirval") shows the setup dialog,
# whose folder tree has its name for screen readers; E:\Photos opened in the folder tree; a picture chosen, tiled on the monitor
# and tried on the desktop with "&Aperçu"; dragged onto today's weekday; "Ok";
# "&Quitter"; the next start installs today's picture. Then the help, from a
# folder in Cyrillic, read in the real viewer: "&Aide" opens the contents, F1 the setup dialog's topic and the
# about box's (the viewer's own trace says which). Screenshots for the README on
# the way.
set -u
. "$(dirname "$0")/lib.sh"
week=$schedule\\Semaine weekday=$WEEKDAY   # also its place under "Semaine"
before='C:\mirval-e2e\AVANT.BMP'
log=$MIRVAL_TEST_WORLD/journey.log

. "$here/../../scripts/lib/samples.sh"
rm -rf "$MIRVAL_TEST_WORLD/data/Photos"
draw_samples "$MIRVAL_TEST_WORLD/data/Photos"   # AUBE, DAMIER, SOLEIL, VAGUES
# Each a picture at the size meant, and no flat colour (a newcomer's first sign
# of Mirval at work is one of them on the desktop).
check "the sample pictures" "800 600 y|64 64 y|400 300 y|800 600 y" "$(
    for f in AUBE DAMIER SOLEIL VAGUES; do
        identify -format '%w %h %k\n' "$MIRVAL_TEST_WORLD/data/Photos/$f.BMP" |
            awk '{print $1, $2, ($3 > 1 ? "y" : "n")}'
    done | paste -sd'|')"
soleil=2                                       # its place in the list, 400x300
# The colour of SOLEIL.BMP's pixel at x,y, as "r,g,b".
sun() { convert "$MIRVAL_TEST_WORLD/data/Photos/SOLEIL.BMP" -crop "1x1+$1+$2" -depth 8 txt:- |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1,\2,\3/p' | tail -1; }
corner=$(sun 10 10) middle=$(sun 200 150)
wine reg delete 'HKCU\Software\Tarvex Software' /f >/dev/null 2>&1
reg_set "$desktop" Wallpaper "$before"
reg_set "$desktop" TileWallpaper 0
reg_set 'HKCU\Software\Wine\AppDefaults\MIRVAL.EXE' Version win10

WINEDEBUG=-all,fixme+oleacc mirval_start "$1" "$log"
check "with nothing stored the wallpaper stays" "$before" "$(reg_get "$desktop" Wallpaper)"
show_dialog
check "the icon shows the setup dialog" shown "$(window_state)"
# The folder tree's name for screen readers as Wine's stub of the annotation
# service traces it (it keeps none): the handle, object (OBJID_CLIENT), child,
# property (PROPID_ACC_NAME) and text it was asked to keep.
named="$(printf %x $((16#$(locate handle "$caption" 1004))))|4294967292 0"
named+=' {608d3df8-8128-4aa7-a428-f55e49267291} L"Dossiers :"'
check "the folder tree is named for screen readers" "$named" "$(
    sed -n 's/.*SetHwndPropStr (\([0-9a-fA-F]*\) \(4294967292 0 .*\))$/\1|\2/p' "$log" |
        tr -d '\r' | while IFS='|' read -r h rest; do printf '%x|%s\n' $((16#$h)) "$rest"; done | head -1)"
world_screenshot "$shots/setup-dialog.png"
tray_menu_open
sleep 0.2
world_screenshot "$shots/tray-menu.png"
xdotool key Escape

click node "$caption" 1004 3           # E:, after A:, C: and D:
click node "$caption" 1004 3 0         # its first folder, Photos
click item "$caption" 1001 $soleil
control 1032                          # "&Mosaïque"
world_screenshot "$shots/preview.png"
control 1031                          # "&Aperçu"
check "\"&Aperçu\" tiles the picture on the desktop" "$corner" "$(pixel_at 10 10 "$corner")"
check "with the dialog out of the way" hidden "$(window_state hidden)"
world_screenshot "$shots/apercu.png"
click control Test 1                  # "Terminer !"'s button, once the box is up
check "the wallpaper comes back" "$before" "$(reg_get "$desktop" Wallpaper)"
check "and the dialog with it" shown "$(window_state shown)"

control 1033                          # "&Centré"
read -r x0 y0 <<<"$(locate item "$caption" 1001 $soleil)"
read -r x1 y1 <<<"$(locate node "$caption" 1000 0 "$weekday")"
xdotool mousemove "$x0" "$y0" mousedown 1
for step in $(seq 10); do
    xdotool mousemove $((x0 + (x1 - x0) * step / 10)) $((y0 + (y1 - y0) * step / 10)) sleep 0.05
done
sleep 0.4
world_screenshot "$shots/drag.png"
xdotool mouseup 1
sleep 0.5
check "nothing is written before a save" "<missing>" "$(reg_get "$week" "${days[$weekday]}")"
control 1006                          # "Ok"
check "\"Ok\" hides the dialog" hidden "$(window_state hidden)"
check "today holds the picture" 'E:\Photos\SOLEIL.BMP' "$(reg_get "$week" "${days[$weekday]}")"
check "centred" 0 "$(reg_get "$week" "Mosa${days[$weekday]}")"
check "the desktop shows it at once, centred" "$middle" "$(pixel_at 400 300 "$middle")"
mirval_quit
check "\"&Quitter\" ends the program with 0" 0 "$MIRVAL_EXIT"

# The next start from a copy in a folder that the code page cannot name, as a
# profile in Cyrillic, traced by the help viewers it will start; a hhctrl.ocx
# planted beside it and in the working folder (Wine told to prefer such a DLL,
# as Windows does) must never be loaded. On Windows 10 the help is HTML Help:
# Wine's viewer opens but cannot show pages (its web engine is not here), so
# what was asked is read from its trace, where the folder's backslashes are
# doubled and its other characters than ASCII four hexadecimal digits each.
home=$(winepath -u 'C:\Программы') work=$(winepath -u 'C:\travail') mark=$(winepath -u 'C:\planted-hhctrl-loaded')
rm -rf "$home" "$mark" && mkdir -p "$home/Mirval" "$home/sans-chm" "$work"
cp "$1" "${1%.EXE}.HLP" "${1%.EXE}.CHM" "$PLANTED_OCX" "$home/Mirval/"
cp "$1" "${1%.EXE}.HLP" "$home/sans-chm/"   # no CHM: WinHelp, as on the systems before Vista
cp "$PLANTED_OCX" "$work/" && cd "$work" || exit 1
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;hhctrl.ocx=n,b"
traced='C:\\'$(printf 'Программы' | iconv -t UTF-16BE | od -An -tx1 -v | tr -d ' \n' | sed 's/..../\\&/g')
reg_set "$desktop" Wallpaper ""
WINEDEBUG=+winhelp,+htmlhelp mirval_start "$home/Mirval/MIRVAL.EXE" "$log"
check "the next start installs it" 'E:\Photos\SOLEIL.BMP' "$(reg_get "$desktop" Wallpaper)"

# "&Aide", F1 in the setup dialog and F1 in the about box, each checked by
# $1 LINE: what the viewer opened after line LINE of the trace.
help_gestures() {   # help_gestures READER CONTENTS SETUP ABOUT [SCREENSHOT]
    local at
    at=$(wc -l <"$log")
    tray_menu last                    # "&Aide"
    check "\"&Aide\" opens the contents" "$2" "$("$1" "$at")"
    until_true 30 shown '^Aide de Mirval$'
    check "in a viewer with the help's title" 1 "$(xdotool search --name '^Aide de Mirval$' | wc -l)"
    close_help                        # out of the way of the clicks to come
    show_dialog
    at=$(wc -l <"$log")
    xdotool key F1
    check "F1 in the setup dialog" "$3" "$("$1" "$at")"
    control 1007                      # "Annuler": the dialog out of the viewer's way
    close_help "${5:-}"               # HTML Help's viewer would keep the keyboard
    show_dialog
    tray_menu_open
    xdotool key Up Up Return          # "A &propos de ...", the last but one
    # F1 goes to the about box only once it is up and has the keyboard.
    until_true 50 locate focus 'A propos de Mirval' >/dev/null
    at=$(wc -l <"$log")
    xdotool key F1
    check "F1 in the about box" "$4" "$("$1" "$at")"
    # The about box closed by its button, not by a key the viewer may have taken.
    close_help
    click control 'A propos de Mirval' 1
    until_true 50 eval "! shown '^A propos de Mirval$'"
}

# The file and page that HTML Help was asked for after line $1 of the trace.
html_since() {
    local from=$1 asked
    until_true 60 eval 'asked=$(tail -n +"$from" "$log" | grep -a -m1 htmlhelp:HtmlHelpW) && [ -n "$asked" ]'
    echo "$asked" | sed -n 's/.*L"\(.*\)", command=HH_DISPLAY_TOPIC.*/\1/p'
}
chm="$traced\\\\Mirval\\\\MIRVAL.CHM"
help_gestures html_since "$chm" "$chm::/setup.html" "$chm::/about.html"
mirval_quit
rm -rf "$MIRVAL_TEST_WORLD/chm"
extract_chmLib "${1%.EXE}.CHM" "$MIRVAL_TEST_WORLD/chm" >/dev/null
title() { sed -n 's:.*<title>\(.*\)</title>.*:\1:p' "$MIRVAL_TEST_WORLD/chm/$1"; }
check "the HTML Help's pages carry their topics' titles" \
    'La fen&#234;tre de param&#233;trage|La bo&#238;te &#171;&#160;A propos de Mirval&#160;&#187;' \
    "$(title setup.html)|$(title about.html)"

# Where HTML Help cannot show the page (here, no CHM beside a copy of the
# program), WinHelp is asked as on the systems before Vista.
# The map number the viewer looked up after line $1 of its trace, and the title
# of the page it opened (no number, and an offset of ffffffff: the first page).
opened_since() {
    local from=$1 lookups offset
    until_true 60 eval 'lookups=$(tail -n +"$from" "$log" | grep -a -E "HLPFILE_PageBy(Map|Offset)" | head -2) &&
        [ -n "$lookups" ]'
    offset=$(echo "$lookups" | sed -n 's/.*PageByOffset.*\[\(.*\)\]/\1/p' | head -1)
    [ "$offset" = ffffffff ] && offset=0
    echo -n "$(echo "$lookups" | sed -n 's/.*PageByMap.*\[\(.*\)\]/\1/p')|"
    grep -a 'HLPFILE_AddPage' "$log" | grep -a -m1 "<< 0*$offset >>" |
        sed 's/.*title="\(.*\)" .* << .*/\1/'
}
WINEDEBUG=+winhelp,+htmlhelp mirval_start "$home/sans-chm/MIRVAL.EXE" "$log"
help_gestures opened_since "|Sommaire" '20066|La fen\xeatre de param\xe9trage' \
    '20064|La bo\xeete \xab\xa0A propos de Mirval\xa0\xbb' "$shots/help.png"
check "its button back to the contents in French" yes \
    "$(grep -q '"btn_up", "&Haut"' "$log" && echo yes)"
mirval_quit
pkill -f winhlp32.exe                 # the viewer out of the next tests' way
check "the hhctrl.ocx beside the program and in the working folder is never loaded" no \
    "$([ -e "$mark" ] && echo yes || echo no)"
cd / && rm -rf "$home" "$work"   # its name, in the code page all question marks, would sort first
[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
