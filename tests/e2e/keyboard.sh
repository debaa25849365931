#!/bin/bash
# The keyboard alone, as a person who cannot hold a mouse: from the dialog that
# a second start shows, to E:\Photos in the folder tree, a phone's portrait
# photo of the list (stored on its side, EXIF orientation 6), its menu, today's
# weekday, "Ok": the desktop shows it upright, filling the screen, from Mirval's
# copy, which the next start installs again as it is. Then today's month, which
# holds a picture: asked, "Oui" replaces it. Not one pointer event. On the way,
# the folder tree's name for screen readers as Wine's stub of the annotation
# service traces it (it keeps none).
set -u
. "$(dirname "$0")/lib.sh"
months=(Janvier Février Mars Avril Mai Juin Juillet Août Septembre Octobre Novembre Décembre)
weekday=$WEEKDAY month=$MONTH                # their places in the menu
day=${days[$weekday]} mois=${months[$month]}
log=$MIRVAL_TEST_WORLD/keyboard.log
. "$here/../../scripts/lib/samples.sh"
[ -f "$MIRVAL_TEST_WORLD/data/Photos/SOLEIL.BMP" ] || draw_samples "$MIRVAL_TEST_WORLD/data/Photos"
# 1200 x 900 as stored, red on the left: upright, red above; on the 800 x 600
# screen, 800 x 1067.
portrait=$MIRVAL_TEST_WORLD/data/Photos/PORTRAIT.JPG
convert -size 1200x900 xc:red -fill blue -draw 'rectangle 600,0 1199,899' -quality 95 "JPG:$portrait.tmp"
{ head -c 2 "$portrait.tmp"   # an APP1 "Exif" segment whose IFD0 says orientation 6
  printf '\xff\xe1\x00\x22Exif\0\0MM\0*\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0'
  tail -c +3 "$portrait.tmp"; } >"$portrait" && rm "$portrait.tmp"
wine reg delete 'HKCU\Software\Tarvex Software' /f >/dev/null 2>&1
reg_set "$schedule\\Mois" "$mois" 'E:\Photos\AUBE.BMP'
reg_set "$desktop" Wallpaper 'C:\mirval-e2e\AVANT.BMP'

# Keys go only to the dialog once it has the keyboard; Tab (or Shift+Tab) until
# the control that should have it does.
keys() { xdotool key --delay 150 "$@"; sleep 0.3; }
tab_to() {   # tab_to ID [shift+Tab]
    for _ in $(seq 12); do
        [ "$(locate focus "$caption")" = "$1" ] && return 0
        keys "${2:-Tab}"
    done
    check "the keyboard reaches control $1" "$1" "$(locate focus "$caption")"
}
second_start() {   # shows the running Mirval's dialog, which then has the keyboard
    timeout 60 wine "$1" </dev/null >/dev/null 2>&1
    window_state shown >/dev/null
    for _ in $(seq 50); do locate focus "$caption" >/dev/null && return; sleep 0.1; done
}
menu_choose() {   # menu_choose ROOT ENTRY: the list's menu from the keyboard, a calendar's entry
    keys shift+F10
    for _ in $(seq 30); do locate menu first >/dev/null && break; sleep 0.1; done
    keys Down $([ "$1" = 1 ] && echo Down) Right $(for _ in $(seq "$2"); do echo Down; done)
    [ -z "${3:-}" ] || world_screenshot "$3"
    keys Return
}
answer() {   # answer KEY: the replace question, once it is up
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name '^Attention$' >/dev/null && break
        sleep 0.1
    done
    check "the question is asked" 1 "$(xdotool search --onlyvisible --name '^Attention$' | wc -l)"
    keys "$1"
}
ok() { tab_to 1006 && keys space && window_state hidden >/dev/null; }

WINEDEBUG=-all,fixme+oleacc mirval_start "$1" "$log"
second_start "$1"
# The handle, object (OBJID_CLIENT), child, property (PROPID_ACC_NAME) and text
# it was asked to keep, as the stub writes them.
named="$(printf %x $((16#$(locate handle "$caption" 1004))))|4294967292 0"
named+=' {608d3df8-8128-4aa7-a428-f55e49267291} L"Dossiers :"'
check "the folder tree is named for screen readers" "$named" "$(
    sed -n 's/.*SetHwndPropStr (\([0-9a-fA-F]*\) \(4294967292 0 .*\))$/\1|\2/p' "$log" |
        tr -d '\r' | while IFS='|' read -r h rest; do printf '%x|%s\n' $((16#$h)) "$rest"; done |
        head -1)"
tab_to 1004                                  # the folder tree
keys Home e Down                             # the first drive, E: by its letter, Photos
keys alt+m                                   # "&Mosaïque"
tab_to 1001                                  # the list
keys Home Down Down                          # PORTRAIT.JPG, the third
check "the picture is chosen" PORTRAIT.JPG "$(locate text "$caption" 1025)"
menu_choose 0 "$weekday" "$shots/keyboard-menu.png"
ok
check "\"Ok\" saves today's weekday" 'E:\Photos\PORTRAIT.JPG|1' \
    "$(reg_get "$schedule\\Semaine" "$day")|$(reg_get "$schedule\\Semaine" "Mosa$day")"
copy='C:\users\'"$(id -un)"'\AppData\Local\Mirval\FOND1.BMP'
for _ in $(seq 50); do [ "$(reg_get "$desktop" Wallpaper)" = "$copy" ] && break; sleep 0.2; done
check "and installs its copy, tiled" "$copy|1|0" "$(desktop_state)"
check "upright, filling the screen" '254,0,0 254,0,0 0,0,254' \
    "$(pixel_at 300 100 254,0,0) $(pixel_at 500 100 254,0,0) $(pixel_at 300 560 0,0,254)"
world_screenshot "$shots/photo-desktop.png"
made=$(stat -c %.9Y "$(winepath -u "$copy" 2>/dev/null)" 2>/dev/null)
reg_set "$desktop" Wallpaper 'C:\mirval-e2e\AVANT.BMP'

second_start "$1"                            # the next start: the copy again, not decoded
check "the next start installs the same copy" "$copy|$made" \
    "$(reg_get "$desktop" Wallpaper)|$(stat -c %.9Y "$(winepath -u "$copy" 2>/dev/null)" 2>/dev/null)"
tab_to 1001 shift+Tab
menu_choose 1 "$month"
answer o                                     # "&Oui"
ok
check "today's month after \"Oui\"" 'E:\Photos\PORTRAIT.JPG' "$(reg_get "$schedule\\Mois" "$mois")"
mirval_quit
[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
