# Helpers of the end-to-end checks: the test world's environment, the registry
# through Wine's own reg tool, and the pixels of the virtual desktop.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../scripts/lib/wine-world.sh"
world_env "${MIRVAL_TEST_WORLD:?the test world is not set}"

failures=0
check() {   # check WHAT EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then
        echo "ok: $1"
    else
        echo "FAILED: $1: expected '$2', got '$3'"
        failures=$((failures + 1))
    fi
}
finish() {
    [ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
}

reg_set() {   # reg_set KEY NAME TEXT
    wine reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1
}
reg_get() {   # the text of a REG_SZ value, or <missing>
    local out
    out=$(wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n 's/^ *[^ ].*REG_SZ *//p')
    if wine reg query "$1" /v "$2" >/dev/null 2>&1; then echo "$out"; else echo "<missing>"; fi
}
reg_delete_key() {
    wine reg delete "$1" /f >/dev/null 2>&1 || true
}

# A one-colour bitmap at a Windows path of the prefix's C: drive.
draw_bitmap() {   # draw_bitmap 'C:\dir\NAME.BMP' WIDTHxHEIGHT COLOUR
    local unix
    unix=$WINEPREFIX/drive_c/$(echo "${1#C:\\}" | tr '\\' '/')
    mkdir -p "$(dirname "$unix")"
    convert -size "$2" "xc:$3" -type truecolor "BMP3:$unix"
}

# The colour of the virtual desktop at x,y as "r,g,b", once it has settled on
# the expected one or after a few seconds.
pixel_at() {   # pixel_at X Y [EXPECTED]
    local seen shot=$MIRVAL_TEST_WORLD/pixel.png
    for _ in $(seq 30); do
        import -window root -crop "1x1+$1+$2" +repage "$shot" 2>/dev/null
        seen=$(convert "$shot" -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info:)
        [ -z "${3:-}" ] || [ "$seen" = "$3" ] && break
        sleep 0.2
    done
    echo "$seen"
}

# The tray icon's place: the Wine desktop's taskbar shows the notification area
# at its bottom right, and ours is its only icon.
TRAY_X=789
TRAY_Y=589
DESKTOP_COLOUR="37,111,149"

# Starts MIRVAL.EXE in the background and waits until it has blinked and hidden
# itself, its icon in the tray. Sets MIRVAL_PID and MIRVAL_WINDOW.
mirval_start() {   # mirval_start EXE
    wine "$1" >/dev/null 2>&1 &
    MIRVAL_PID=$!
    MIRVAL_WINDOW=
    for _ in $(seq 100); do
        MIRVAL_WINDOW=$(xdotool search --name '^(Image du mirval|Mirval picture) ' 2>/dev/null | head -1)
        [ -n "$MIRVAL_WINDOW" ] && break
        sleep 0.1
    done
    # The window is made unmapped, shown, then hidden by the first timer tick;
    # the blink may be over before a look at it.
    for _ in $(seq 20); do
        [ "$(window_state)" = shown ] && break
        sleep 0.05
    done
    for _ in $(seq 100); do
        [ "$(window_state)" = hidden ] && [ "$(pixel_at $TRAY_X $TRAY_Y)" != "$DESKTOP_COLOUR" ] && return 0
        sleep 0.1
    done
    echo "MIRVAL.EXE did not come up resident"
    return 1
}

# "shown" or "hidden" for the setup dialog's window; "gone" once it is destroyed.
window_state() {
    local state
    state=$(xwininfo -id "$MIRVAL_WINDOW" 2>/dev/null | sed -n 's/.*Map State: *//p')
    case "$state" in
        IsViewable) echo shown ;;
        "") echo gone ;;
        *) echo hidden ;;
    esac
}

# Waits until the setup dialog is in the given state (or a few seconds pass).
wait_window() {   # wait_window shown|hidden
    for _ in $(seq 50); do
        [ "$(window_state)" = "$1" ] && break
        sleep 0.1
    done
    window_state
}

# Opens the tray menu with a right press on the icon and clicks its entry
# (1 "&Quitter", 2 "&Paramêtrage", 3 "A &propos de ...", 4 "&Aide"). The menu's
# right edge is at the pointer and, at the bottom of the screen, it opens upwards:
# its top is found on the screen, the entries stand at fixed offsets below it.
tray_menu() {   # tray_menu ENTRY
    # The column looked at passes right of the setup dialog, through the menu.
    local offsets=(0 11 37 63 80) top=$TRAY_Y column=$((TRAY_X - 9)) shot=$MIRVAL_TEST_WORLD/menu.png
    xdotool mousemove $TRAY_X $TRAY_Y click 3
    for _ in $(seq 20); do
        sleep 0.2
        import -window root -crop "1x${TRAY_Y}+${column}+0" +repage "$shot"
        # The first row from the top that is not the desktop's background.
        top=$(convert "$shot" txt:- | awk -v bg="($DESKTOP_COLOUR)" \
            'NR > 1 { split($1, at, "[,:]"); c = $2; gsub(/ /, "", c); if (c != bg) { print at[2]; exit } }')
        [ -n "$top" ] && [ "$top" -lt $((TRAY_Y - 20)) ] && break
    done
    # The entry is chosen once the menu has seen the pointer over it.
    xdotool mousemove $((TRAY_X - 60)) $((top + offsets[$1]))
    sleep 0.3
    xdotool click 1
}

# "&Quitter" from the tray menu, as a person would; MIRVAL_EXIT is then the
# program's exit code, or "still running".
mirval_quit() {
    tray_menu 1
    local waited=0
    while kill -0 "$MIRVAL_PID" 2>/dev/null && [ $waited -lt 100 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    if kill -0 "$MIRVAL_PID" 2>/dev/null; then
        kill "$MIRVAL_PID"
        MIRVAL_EXIT="still running"
    else
        wait "$MIRVAL_PID"
        MIRVAL_EXIT=$?
    fi
}

# Sets X, Y, WIDTH and HEIGHT for a window, as on the screen. (xdotool's own
# geometry counts the position twice for Wine's windows.)
window_geometry() {   # window_geometry ID
    local info
    info=$(xwininfo -id "$1")
    X=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
    Y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
    WIDTH=$(echo "$info" | sed -n 's/.*Width: *//p')
    HEIGHT=$(echo "$info" | sed -n 's/.*Height: *//p')
}

# A click at a point of the setup dialog's window, counted from its top left
# corner (negative x: from its right edge).
click_dialog() {   # click_dialog X Y
    local X Y WIDTH HEIGHT dx=$1
    window_geometry "$MIRVAL_WINDOW"
    [ "$dx" -lt 0 ] && dx=$((WIDTH + dx))
    xdotool mousemove $((X + dx)) $((Y + $2))
    sleep 0.2
    xdotool click 1
    sleep 0.3
}
# The platform gives a window the keyboard once it is activated, as a person
# does by clicking its caption.
click_caption() { click_dialog 200 8; }
close_box() { click_dialog -14 11; }

# Puts a red 200x150 rouge.bmp alone in E:\Photos (the world's fixed drive E:,
# fourth in the folder tree).
make_photos() {
    local photos=$MIRVAL_TEST_WORLD/data/Photos
    rm -rf "$photos"
    mkdir -p "$photos"
    convert -size 200x150 xc:red -type truecolor "BMP3:$photos/rouge.bmp"
}
# Opens E:\Photos in the shown setup dialog: the drive's node, then the folder
# node that click makes under it.
open_photos() {
    xdotool mousemove 580 372 click 1
    sleep 0.6
    xdotool mousemove 585 388 click 1
    sleep 0.6
}
