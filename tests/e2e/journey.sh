#!/bin/bash
# A person's way through the program: started with nothing stored, it leaves the
# wallpaper alone; the icon shows the setup dialog; E:\Photos opened in the
# folder tree; a picture chosen, tiled on the monitor and tried on the desktop
# with "&Aperçu"; dragged onto today's weekday; "Ok"; "&Quitter"; and the next
# start installs today's picture. Screenshots for the README on the way.
set -u
. "$(dirname "$0")/lib.sh"
days=(Lundi Mardi Mercredi Jeudi Vendredi Samedi Dimanche)
weekday=$(($(date +%u) - 1))          # also its place under "Semaine"
day=${days[$weekday]}
before='C:\mirval-e2e\AVANT.BMP'

rm -rf "$MIRVAL_TEST_WORLD/data/Photos"
draw_bitmap "$MIRVAL_TEST_WORLD/data/Photos/rouge.bmp" 200x150 red
reg_delete_key 'HKCU\Software\Tarvex Software'
reg_set "$desktop" Wallpaper "$before"
reg_set "$desktop" TileWallpaper 0

mirval_start "$1"
check "with nothing stored the wallpaper stays" "$before" "$(reg_get "$desktop" Wallpaper)"
show_dialog
check "the icon shows the setup dialog" shown "$(window_state)"
world_screenshot "$shots/setup-dialog.png"
click 3 tray
sleep 0.5
world_screenshot "$shots/tray-menu.png"
xdotool key Escape

click node "$caption" 1004 3           # E:, after A:, C: and D:
click node "$caption" 1004 3 0         # its first folder, Photos
click item "$caption" 1001 0
control 1032                          # "&Mosaïque"
world_screenshot "$shots/preview.png"
control 1031                          # "&Aperçu"
check "\"&Aperçu\" tiles the picture on the desktop" "255,0,0" "$(pixel_at 10 10 255,0,0)"
world_screenshot "$shots/apercu.png"
xdotool key Return                    # "Terminer !"
check "the wallpaper comes back" "$before" "$(reg_get "$desktop" Wallpaper)"
check "and the dialog with it" shown "$(wait_window shown)"

control 1033                          # "&Centré"
from=$(locate item "$caption" 1001 0) to=$(locate node "$caption" 1000 0 "$weekday")
read -r x0 y0 <<<"$from"
read -r x1 y1 <<<"$to"
xdotool mousemove "$x0" "$y0" mousedown 1
for step in $(seq 10); do
    xdotool mousemove $((x0 + (x1 - x0) * step / 10)) $((y0 + (y1 - y0) * step / 10))
    sleep 0.05
done
sleep 0.4
world_screenshot "$shots/drag.png"
xdotool mouseup 1
sleep 0.5
check "nothing is written before a save" "<missing>" "$(reg_get "$app\\Semaine" "$day")"
control 1006                          # "Ok"
check "\"Ok\" hides the dialog" hidden "$(wait_window hidden)"
check "$day holds the picture" 'E:\Photos\ROUGE.BMP' "$(reg_get "$app\\Semaine" "$day")"
check "centred" 0 "$(reg_get "$app\\Semaine" "Mosa$day")"
check "the desktop shows it at once" "255,0,0" "$(middle 255,0,0)"
mirval_quit
check "\"&Quitter\" ends the program with 0" 0 "$MIRVAL_EXIT"

reg_set "$desktop" Wallpaper ""
mirval_start "$1"
check "the next start installs it" 'E:\Photos\ROUGE.BMP' "$(reg_get "$desktop" Wallpaper)"
mirval_quit
finish
