#!/bin/bash
# Browsing with the mouse: a drive, a folder, a picture on the small monitor,
# "&Mosaïque" and "&Centré", then "&Aperçu" on the real desktop until "Terminer !"
# is dismissed. Points are the virtual desktop's, where the dialog opens.
set -u
exe=$1
. "$(dirname "$0")/lib.sh"
desktop='HKCU\Control Panel\desktop'
shots=$MIRVAL_TEST_WORLD/shots
RED="255,0,0"

make_photos
reg_delete_key 'HKCU\Software\Tarvex Software'    # no picture of today's to install
reg_set "$desktop" Wallpaper ""
reg_set "$desktop" TileWallpaper 0

mirval_start "$exe" || exit 1
xdotool mousemove $TRAY_X $TRAY_Y click 1
wait_window shown >/dev/null
click_caption
open_photos
xdotool mousemove 320 195 click 1     # the list's first picture
middle="639 205" corner="575 165"
check "the monitor shows the picture" "$RED" "$(pixel_at $middle $RED)"
check "centred, the screen's corner is empty" 1 "$([ "$(pixel_at $corner)" != "$RED" ] && echo 1)"
world_screenshot "$shots/preview.png"

xdotool mousemove 548 300 click 1     # "&Mosaïque"
check "tiled, the corner shows it too" "$RED" "$(pixel_at $corner $RED)"
xdotool mousemove 648 300 click 1     # "&Centré"
sleep 0.5
check "centred again" 1 "$([ "$(pixel_at $corner)" != "$RED" ] && echo 1)"

xdotool mousemove 548 300 click 1
sleep 0.3
xdotool mousemove 631 134 click 1     # "&Aperçu"
check "the dialog steps aside" hidden "$(wait_window hidden)"
check "the desktop shows the picture, tiled" "$RED" "$(pixel_at 10 10 $RED)"
check "tiled for the test" 1 "$(reg_get "$desktop" TileWallpaper)"
world_screenshot "$shots/apercu.png"

# The box's OK button, at the middle of its bottom.
window_geometry "$(xdotool search --name '^Test$' | head -1)"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 22))
sleep 0.3
xdotool click 1
check "back after \"Terminer !\"" shown "$(wait_window shown)"
check "the old wallpaper is back" "$DESKTOP_COLOUR" "$(pixel_at 10 10 "$DESKTOP_COLOUR")"
check "and the old tiling" 0 "$(reg_get "$desktop" TileWallpaper)"
check "and the old value" "" "$(reg_get "$desktop" Wallpaper)"
mirval_quit
finish
