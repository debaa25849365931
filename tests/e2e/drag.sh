#!/bin/bash
# Dragging a picture from the list onto today's weekday with the mouse, then
# "Ok": the registry holds it, the desktop shows it, and the next start installs it.
set -u
exe=$1
. "$(dirname "$0")/lib.sh"
key='HKCU\Software\Tarvex Software\MIRVAL'
desktop='HKCU\Control Panel\desktop'
RED="255,0,0"
days=(Lundi Mardi Mercredi Jeudi Vendredi Samedi Dimanche)
today=$(date +%u)                      # 1 Monday ... 7 Sunday: the tree's order
day=${days[$((today - 1))]}

make_photos
reg_delete_key 'HKCU\Software\Tarvex Software'
reg_set "$desktop" Wallpaper ""
reg_set "$desktop" TileWallpaper 1

mirval_start "$exe" || exit 1
xdotool mousemove $TRAY_X $TRAY_Y click 1
wait_window shown >/dev/null
click_caption
open_photos

# The calendar's rows are 16 pixels: "Semaine", then the weekdays under it.
target_y=$((177 + 16 * today))
xdotool mousemove 320 195
sleep 0.2
xdotool mousedown 1
sleep 0.2
for step in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove $((320 - 22 * step)) $((195 + (target_y - 195) * step / 10))
    sleep 0.05
done
sleep 0.4
world_screenshot "$MIRVAL_TEST_WORLD/shots/drag.png"
xdotool mouseup 1
sleep 0.5
check "nothing is written before a save" "<missing>" "$(reg_get "$key\\Semaine" "$day")"

click_dialog 525 368                  # "Ok"
check "\"Ok\" hides the dialog" hidden "$(wait_window hidden)"
check "$day holds the picture" 'E:\Photos\ROUGE.BMP' "$(reg_get "$key\\Semaine" "$day")"
check "centred, as \"&Centré\" said" 0 "$(reg_get "$key\\Semaine" "Mosa$day")"
check "the desktop shows it at once" "$RED" "$(pixel_at 400 300 $RED)"
check "and not tiled" "$DESKTOP_COLOUR" "$(pixel_at 10 10 "$DESKTOP_COLOUR")"
mirval_quit

# The stored wallpaper emptied in between; the next start installs today's again.
reg_set "$desktop" Wallpaper ""
mirval_start "$exe" || exit 1
check "the next start installs it" 'E:\Photos\ROUGE.BMP' "$(reg_get "$desktop" Wallpaper)"
check "and the desktop shows it" "$RED" "$(pixel_at 400 300 $RED)"
mirval_quit
finish
