# What the journeys share: the test world, checks, the registry through Wine's own
# reg tool, the desktop's pixels, and pointing and clicking where locate.exe says
# a person would find the thing on the screen.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../scripts/lib/wine-world.sh"
world_env "${MIRVAL_TEST_WORLD:?the test world is not set}"
shots=$MIRVAL_TEST_WORLD/shots
desktop='HKCU\Control Panel\desktop'
app='HKCU\Software\Tarvex Software\MIRVAL'
caption='Image du mirval'

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

reg_set() { wine reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1; }
reg_get() {   # the text of a REG_SZ value, or <missing>
    wine reg query "$1" /v "$2" >/dev/null 2>&1 || { echo "<missing>"; return; }
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n 's/^ *[^ ].*REG_SZ *//p'
}
reg_delete_key() { wine reg delete "$1" /f >/dev/null 2>&1 || true; }

draw_bitmap() {   # draw_bitmap UNIX-PATH WIDTHxHEIGHT COLOUR
    mkdir -p "$(dirname "$1")"
    convert -size "$2" "xc:$3" -type truecolor "BMP3:$1"
}

# The colour at x,y as "r,g,b", once it has settled on the expected one or after a while.
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
middle() { pixel_at 400 300 "$@"; }   # of the 800x600 virtual desktop

locate() { wine "$LOCATE" "$@" 2>/dev/null | tr -d '\r'; }
click() {   # click [BUTTON] THING...: a click where locate says the thing is
    local button=1
    case $1 in [0-9]) button=$1; shift ;; esac
    local at
    at=$(locate "$@") || { echo "FAILED: nothing at $*"; failures=$((failures + 1)); return 1; }
    xdotool mousemove $at
    sleep 0.2
    xdotool click "$button"
    sleep 0.4
}
control() { click control "$caption" "$@"; }

# "shown" or "hidden" for the setup dialog's window; "gone" once it is destroyed.
window_state() {
    [ -n "$MIRVAL_WINDOW" ] || { echo gone; return; }
    case $(xwininfo -id "$MIRVAL_WINDOW" 2>/dev/null | sed -n 's/.*Map State: *//p') in
        IsViewable) echo shown ;;
        "") echo gone ;;
        *) echo hidden ;;
    esac
}
wait_window() {   # wait_window shown|hidden: waits a few seconds at most, says the state
    for _ in $(seq 50); do
        [ "$(window_state)" = "$1" ] && break
        sleep 0.1
    done
    window_state
}

# Starts the program and waits until it has hidden itself after its blink.
mirval_start() {   # mirval_start EXE [LOG]
    wine "$1" >/dev/null 2>"${2:-/dev/null}" &
    MIRVAL_PID=$!
    for _ in $(seq 100); do
        MIRVAL_WINDOW=$(xdotool search --name "^$caption " 2>/dev/null | head -1)
        [ -n "$MIRVAL_WINDOW" ] && [ "$(wait_window hidden)" = hidden ] && sleep 0.5 && return
        sleep 0.1
    done
    echo "MIRVAL.EXE did not come up resident"
    exit 1
}
show_dialog() {   # from the tray, then a click in it so that it has the keyboard
    click tray
    wait_window shown >/dev/null
    control 1025
}
# The tray menu's first ("&Quitter") or last ("&Aide") entry, clicked.
tray_menu() {
    click 3 tray
    sleep 0.3
    click menu "$1"
}
mirval_quit() {   # "&Quitter"; MIRVAL_EXIT is then the exit code, or "still running"
    tray_menu first
    for _ in $(seq 100); do kill -0 "$MIRVAL_PID" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$MIRVAL_PID" 2>/dev/null; then
        kill "$MIRVAL_PID"
        MIRVAL_EXIT="still running"
    else
        wait "$MIRVAL_PID"
        MIRVAL_EXIT=$?
    fi
}
