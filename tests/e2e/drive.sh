#!/bin/bash
# Today's picture on a drive that is not there yet, as a network drive that
# Windows reconnects after the logon or a stick plugged in later: the start
# leaves the desktop as it is; once the drive is there (its link in Wine's
# dosdevices, which tells no program), the picture comes within a minute, tiled
# as assigned.
set -u
. "$(dirname "$0")/lib.sh"
week=$schedule\\Semaine day=${days[$WEEKDAY]}
drive=$WINEPREFIX/dosdevices/y: disk=$MIRVAL_TEST_WORLD/reseau
rm -f "$drive"
mkdir -p "$disk" && convert -size 64x48 xc:red -type truecolor "BMP3:$disk/ROUGE.BMP"
wine reg delete 'HKCU\Software\Tarvex Software' /f >/dev/null 2>&1
reg_set "$week" "$day" 'Y:\ROUGE.BMP'
reg_set "$week" "Mosa$day" 1
reg_set "$desktop" Wallpaper 'C:\mirval-e2e\AVANT.BMP'
reg_set "$desktop" TileWallpaper 0
reg_set "$desktop" WallpaperStyle 0

mirval_start "$1"
check "started before its drive, it leaves the desktop as it was" 'C:\mirval-e2e\AVANT.BMP|0|0' \
    "$(desktop_state)"
ln -s "$disk" "$drive"
for _ in $(seq 80); do [ "$(desktop_state)" = 'Y:\ROUGE.BMP|1|0' ] && break; sleep 1; done
check "once the drive is there, today's picture comes within a minute, tiled" 'Y:\ROUGE.BMP|1|0' \
    "$(desktop_state)"
check "and shows" 255,0,0 "$(pixel_at 10 10 255,0,0)"
mirval_quit
rm -f "$drive"
[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
