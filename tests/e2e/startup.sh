#!/bin/bash
# The real MIRVAL.EXE at start-up, on today's real date: with nothing stored it
# leaves the wallpaper alone; with a picture for today's weekday it installs it
# before its icon appears, and quitting ends it with 0.
set -u
. "$(dirname "$0")/lib.sh"
weekdays=(Dimanche Lundi Mardi Mercredi Jeudi Vendredi Samedi)
today=${weekdays[$(date +%w)]}
draw_bitmap "$WINEPREFIX/drive_c/mirval-e2e/AUJOURD.BMP" 64x48 lime

reg_delete_key 'HKCU\Software\Tarvex Software'
reg_set "$desktop" Wallpaper 'C:\mirval-e2e\AVANT.BMP'
mirval_start "$1"
mirval_quit
check "quitting ends the program with 0" 0 "$MIRVAL_EXIT"
check "with nothing stored the wallpaper stays" 'C:\mirval-e2e\AVANT.BMP' "$(reg_get "$desktop" Wallpaper)"

reg_set "$app\\Semaine" "$today" 'C:\mirval-e2e\AUJOURD.BMP'
reg_set "$desktop" TileWallpaper 0
mirval_start "$1"
check "today's weekday picture ($today) is installed" 'C:\mirval-e2e\AUJOURD.BMP' "$(reg_get "$desktop" Wallpaper)"
check "and shown" "0,255,0" "$(middle 0,255,0)"
world_screenshot "$shots/startup.png"
mirval_quit
finish
