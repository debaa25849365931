#!/bin/bash
# One Mirval at a time, and the end of a session. A second start while Mirval
# runs, or while it is still starting, installs today's picture, shows the
# running one's dialog and ends; another program's dialog with our controls'
# numbers is running all along and is never sent a command. The first start is traced: critical errors fail before any
# drive is asked for its label, and each image list is destroyed once. Then
# "Terminer !" is open: the icon and a second start bring no dialog, and the end
# of the session gives the desktop its own wallpaper back.
set -u
. "$(dirname "$0")/lib.sh"
before='C:\mirval-e2e\AVANT.BMP'
today='C:\mirval-e2e\TOUJOURS.BMP'
trace=$MIRVAL_TEST_WORLD/session.log
noted=$MIRVAL_TEST_WORLD/decoy.txt
exe=$1
mirvals() { pgrep -cxf "$exe"; }
wine reg delete 'HKCU\Software\Tarvex Software' /f >/dev/null 2>&1
mkdir -p "$(winepath -u 'C:\mirval-e2e')" && touch "$(winepath -u "$today")"   # a picture is there
reg_set "$schedule\\Divers" Toujours "$today"
reg_set "$schedule\\Semaine" Lundi 'C:\mirval-e2e\LUNDI.BMP'
rm -f "$noted"
wine "$LOCATE" decoy "$(winepath -w "$noted")" >/dev/null 2>&1 &

reg_set 'HKCU\Software\Wine\Debug' RelayInclude 'SetErrorMode;GetVolumeInformationA;ImageList_Destroy'
WINEDEBUG=+relay mirval_start "$1" "$trace"
wine reg delete 'HKCU\Software\Wine\Debug' /v RelayInclude /f >/dev/null 2>&1
stored=$(wine reg query "$schedule" /s) icons=$(locate tips | grep -cx Mirval)
reg_set "$desktop" Wallpaper "$before"
timeout 60 wine "$1" </dev/null >/dev/null 2>&1
check "a second start ends" 0 "$?"
check "having installed today's picture" "$today" "$(reg_get "$desktop" Wallpaper)"
check "and shown the running Mirval's dialog, with the keyboard" shown-yes \
    "$(window_state shown)-$(until_true 50 locate focus "$caption" >/dev/null && echo yes)"
check "one Mirval is left, and no icon more" "1|$icons" "$(mirvals)|$(locate tips | grep -cx Mirval)"
check "the schedule as it was" "$stored" "$(wine reg query "$schedule" /s)"
mirval_quit
check "critical errors fail before the first drive's label is asked" 1 "$(awk '
    /Call KERNEL32.SetErrorMode\(00000001\)/ && !mode {mode = NR}
    /Call KERNEL32.GetVolumeInformationA/ && !asked {asked = NR}
    END {print mode && asked && mode < asked}' "$trace")"
destroyed=$(grep -a -i 'Call comctl32.ImageList_Destroy' "$trace" | sed 's/.*(\(.*\)).*/\1/')
check "the folders' and calendar's image lists destroyed once each, and the list's by the list" \
    "2|0|0" "$(echo "$destroyed" | grep -c .)|$(echo "$destroyed" | sort | uniq -d | grep -c .)|$(
    grep -a -i 'Ret  comctl32.ImageList_Destroy' "$trace" | grep -vc 'retval=00000001')"

# A second start while the first is still starting, as the Start menu's entry
# clicked during the logon's start: the first is held (stopped) between its
# mutex and its window's mark until the second has had time to look. Nothing
# for today then, so that the second start makes no wallpaper call, whose
# broadcast would wait on the stopped one's windows.
for _ in 1 2 3; do
    wine "$exe" >/dev/null 2>&1 &
    MIRVAL_PID=$!
    hold_starting -xf "$exe"
    [ "$CAUGHT" = starting ] && break
    kill -CONT $HELD
    MIRVAL_WINDOW=$(xdotool search --name "^$caption " 2>/dev/null | head -1)
    mirval_quit
done
wine reg delete "$schedule" /f >/dev/null 2>&1
timeout 60 wine "$exe" </dev/null >/dev/null 2>&1 &
sleep 3
kill -CONT $HELD
wait $!
check "a second start during the first one's start waits for it, and ends" "starting|0" "$CAUGHT|$?"
# Once the first is resident its blink is over: the dialog is shown only if the
# second start showed it.
until_true 50 eval 'MIRVAL_WINDOW=$(xdotool search --name "^$caption " 2>/dev/null | head -1) &&
    [ -n "$MIRVAL_WINDOW" ] && [ "$(locate mirval)" = resident ]'
check "having shown the first one's dialog, and one Mirval is left" "shown|1" \
    "$(window_state shown)|$(mirvals)"
mirval_quit

reg_set "$desktop" TileWallpaper 0
reg_set "$desktop" WallpaperStyle 10
mirval_start "$1"
reg_set "$desktop" Wallpaper "$before"
show_dialog
control 1032                          # "&Mosaïque"
control 1031                          # "&Aperçu", with no picture chosen
until_true 50 shown '^Test$'
check "the test is on the desktop" "|1|0" "$(desktop_state)"
click tray
timeout 60 wine "$1" </dev/null >/dev/null 2>&1
check "the icon and a second start show no dialog while it runs" "hidden|1" \
    "$(window_state hidden)|$(mirvals)"
check "the other program's dialog was never sent a command" "" "$(cat "$noted" 2>/dev/null)"
wine wineboot --end-session </dev/null >/dev/null 2>&1
until_true 50 eval '! kill -0 "$MIRVAL_PID" 2>/dev/null'
check "the end of the session puts the desktop's own wallpaper back, and ends Mirval" \
    "$before|0|10|0" "$(desktop_state)|$(mirvals)"
[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
