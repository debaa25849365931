#!/bin/bash
# The real MIRVAL.EXE at start-up, against today's real date: with today's
# picture stored it installs it (registry and screen); with nothing stored it
# leaves the wallpaper alone. Each start is ended from its tray menu.
set -u
exe=$1
. "$(dirname "$0")/lib.sh"

desktop='HKCU\Control Panel\Desktop'
app='HKCU\Software\Tarvex Software\MIRVAL'
before='C:\mirval-e2e\AVANT.BMP'
today='C:\mirval-e2e\AUJOURD.BMP'
draw_bitmap "$before" 64x48 blue
draw_bitmap "$today" 64x48 lime

weekdays=(Dimanche Lundi Mardi Mercredi Jeudi Vendredi Samedi)
months=(Janvier Février Mars Avril Mai Juin Juillet Août Septembre Octobre Novembre Décembre)
weekday=${weekdays[$(date +%w)]}
month=${months[$(( $(date +%-m) - 1 ))]}

# 1. Nothing stored: the wallpaper stays as it was. The blue picture is put on the
#    screen first by a start that has it as the every-day picture.
reg_delete_key 'HKCU\Software\Tarvex Software'
reg_set "$desktop" TileWallpaper 0
reg_set "$app\\Divers" Toujours "$before"
mirval_start "$exe"
check "the blue picture is on the screen" "0,0,255" "$(pixel_at 400 300 0,0,255)"
mirval_quit
reg_delete_key 'HKCU\Software\Tarvex Software'
mirval_start "$exe"
mirval_quit
check "quitting after a start with an empty registry" 0 "$MIRVAL_EXIT"
check "Wallpaper untouched with an empty registry" "$before" "$(reg_get "$desktop" Wallpaper)"
check "the screen still shows it" "0,0,255" "$(pixel_at 400 300)"

# 2. Today's weekday has a picture.
reg_set "$app\\Semaine" "$weekday" "$today"
reg_set "$app\\Semaine" "Mosa$weekday" 1
mirval_start "$exe"
check "Wallpaper is today's weekday picture ($weekday)" "$today" "$(reg_get "$desktop" Wallpaper)"
check "the desktop shows it" "0,255,0" "$(pixel_at 400 300 0,255,0)"
mirval_quit
check "start-up leaves the tiling alone" 0 "$(reg_get "$desktop" TileWallpaper)"
world_screenshot "$MIRVAL_TEST_WORLD/shots/startup-weekday.png"

# 3. Only today's month has a picture; its name holds an accented letter in December.
reg_delete_key 'HKCU\Software\Tarvex Software'
reg_set "$desktop" Wallpaper "$before"
reg_set "$app\\Mois" "$month" "$today"
mirval_start "$exe"
mirval_quit
check "Wallpaper is today's month picture ($month)" "$today" "$(reg_get "$desktop" Wallpaper)"

# 4. The every-day picture wins over today's weekday.
reg_set "$app\\Semaine" "$weekday" "$before"
reg_set "$app\\Divers" Toujours "$today"
reg_set "$desktop" Wallpaper "$before"
mirval_start "$exe"
mirval_quit
check "the every-day picture wins" "$today" "$(reg_get "$desktop" Wallpaper)"

# The start itself creates the program's key (the profile functions make it on first read).
wine reg query "$app" >/dev/null 2>&1
check "the program's key exists after a start" 0 $?

finish
