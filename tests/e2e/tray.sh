#!/bin/bash
# The real MIRVAL.EXE as a resident program, driven with the mouse and keyboard:
# it blinks and hides, a left press on its tray icon shows the setup dialog, the
# tray menu shows it too, Alt+F4 only hides it, "&Quitter" ends the process,
# writes nothing and takes the icon out of the tray.
set -u
exe=$1
. "$(dirname "$0")/lib.sh"
shots=$MIRVAL_TEST_WORLD/shots
export_settings() {   # the program's key as text
    local out=$MIRVAL_TEST_WORLD/settings.reg
    rm -f "$out"
    wine reg export 'HKCU\Software\Tarvex Software' "$(winepath -w "$out")" >/dev/null 2>&1
    md5sum <"$out" | cut -d' ' -f1
}

reg_delete_key 'HKCU\Software\Tarvex Software'
mirval_start "$exe" || exit 1
check "the window was made and is hidden after the blink" hidden "$(window_state)"
check "the icon is in the tray" yes "$([ "$(pixel_at $TRAY_X $TRAY_Y)" != "$DESKTOP_COLOUR" ] && echo yes)"
before=$(export_settings)

xdotool mousemove $TRAY_X $TRAY_Y click 1
check "a left click on the icon shows the setup dialog" shown "$(wait_window shown)"
sleep 0.5
world_screenshot "$shots/setup-dialog.png"

close_box
check "the close box hides it" hidden "$(wait_window hidden)"
kill -0 "$MIRVAL_PID" 2>/dev/null
check "and the program lives on" 0 $?

xdotool mousemove $TRAY_X $TRAY_Y click 3
sleep 0.5
world_screenshot "$shots/tray-menu.png"
xdotool key Escape
sleep 0.3
tray_menu 2
check "\"&Paramêtrage\" shows the setup dialog" shown "$(wait_window shown)"

mirval_quit
check "\"&Quitter\" ends the process with 0" 0 "$MIRVAL_EXIT"
check "the icon has left the tray" "$DESKTOP_COLOUR" "$(pixel_at $TRAY_X $TRAY_Y "$DESKTOP_COLOUR")"
check "quitting wrote nothing" "$before" "$(export_settings)"

# Escape in the shown dialog ends the program.
mirval_start "$exe" || exit 1
xdotool mousemove $TRAY_X $TRAY_Y click 1
wait_window shown >/dev/null
click_caption
xdotool key Escape
for _ in $(seq 50); do kill -0 "$MIRVAL_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$MIRVAL_PID" 2>/dev/null
check "Escape ends the program" 1 $?
check "and its icon leaves the tray" "$DESKTOP_COLOUR" "$(pixel_at $TRAY_X $TRAY_Y "$DESKTOP_COLOUR")"

finish
