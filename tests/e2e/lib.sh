# What the journeys share: the test world, checks, the registry through Wine's own
# reg tool, the desktop's pixels, and pointing where locate.exe says a person
# would find the thing on the screen.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../scripts/lib/wine-world.sh"
world_env "${MIRVAL_TEST_WORLD:?the test world is not set}"
shots=$MIRVAL_TEST_WORLD/shots
caption='Image du mirval'
days=(Lundi Mardi Mercredi Jeudi Vendredi Samedi Dimanche)
desktop='HKCU\Control Panel\desktop'
schedule='HKCU\Software\Tarvex Software\MIRVAL'
# Every wait that a program's start may need, times PATIENCE: through an
# emulator a 32-bit program takes two minutes to come up.
PATIENCE=${PATIENCE:-1}

# Today, for the journey and the Mirvals it starts, is about noon in a zone of
# its own (each Wine program reads its TZ as it starts): no midnight falls
# between the date the journey reckons with and Mirval's. WEEKDAY is today's
# place in the week, Monday 0.
hour=$(date -u +%-H)
if [ "$hour" -le 12 ]; then export TZ="MIR-$((12 - hour))"; else export TZ="MIR+$((hour - 12))"; fi
WEEKDAY=$(($(date +%u) - 1))

failures=0
check() {   # check WHAT EXPECTED ACTUAL
    [ "$2" = "$3" ] && echo "ok: $1" && return
    echo "FAILED: $1: expected '$2', got '$3'"
    failures=$((failures + 1))
}

# Runs the command every tenth of a second until it succeeds, at most TRIES times.
until_true() {   # until_true TRIES COMMAND...
    local tries=$1 && shift
    for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
    return 1
}
shown() { xdotool search --onlyvisible --name "$1" >/dev/null; }   # shown TITLE-REGEX

reg_set() { wine reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1; }
reg_get() {   # the text of a REG_SZ value, or <missing>; reg writes in the OEM code page
    local line
    line=$(wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | iconv -f CP850 -t UTF-8 |
        grep REG_SZ) || line="<missing>"
    echo "$line" | sed 's/.*REG_SZ *//'
}
desktop_state() { echo "$(reg_get "$desktop" Wallpaper)|$(reg_get "$desktop" TileWallpaper)|$(
    reg_get "$desktop" WallpaperStyle)"; }

# The colour at x,y as "r,g,b", once it is the expected one or after a while.
pixel_at() {   # pixel_at X Y EXPECTED
    local seen
    for _ in $(seq $((30 * PATIENCE))); do
        seen=$(import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
            sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1,\2,\3/p' | tail -1)
        [ "$seen" = "$3" ] && break
        sleep 0.2
    done
    echo "$seen"
}

locate() { wine "$LOCATE" "$@" 2>/dev/null | tr -d '\r'; }
# A click where locate says the thing is, once it is there: a box or a page that
# is still coming up is waited for, never clicked blind.
click() {   # click [BUTTON] THING...
    local button=1 at
    case $1 in [0-9]) button=$1 && shift ;; esac
    for _ in $(seq 50); do at=$(locate "$@") && break; sleep 0.1; done
    [ -n "$at" ] || { check "$* found" yes no; return 1; }
    xdotool mousemove $at sleep 0.2 click "$button" sleep 0.4
}
control() { click control "$caption" "$@"; }

# "shown", "hidden" or "gone" for the setup dialog's window, once it is $1 or
# after a few seconds.
window_state() {   # window_state [EXPECTED]
    local state
    for _ in $(seq 50); do
        # (xwininfo without a window waits for one to be clicked)
        case $([ -n "${MIRVAL_WINDOW:-}" ] && xwininfo -id "$MIRVAL_WINDOW" 2>/dev/null |
            sed -n 's/.*Map State: *//p') in
            IsViewable) state=shown ;;
            "") state=gone ;;
            *) state=hidden ;;
        esac
        [ "$state" = "${1:-$state}" ] && break
        sleep 0.1
    done
    echo "$state"
}

# Starts the program and waits until it has hidden itself after its blink. Its
# window exists, unmapped, before the dialog is set up: only once the tray icon is
# there (found by its tooltip, "Mirval") has the hide timer been started.
mirval_start() {   # mirval_start EXE [LOG]
    wine "$1" >/dev/null 2>"${2:-/dev/null}" &
    MIRVAL_PID=$!
    for _ in $(seq $((100 * PATIENCE))); do
        MIRVAL_WINDOW=$(xdotool search --name "^$caption " 2>/dev/null | head -1)
        [ -n "$MIRVAL_WINDOW" ] && locate tips | grep -qx Mirval &&
            [ "$(window_state hidden)" = hidden ] && sleep 0.5 && return
        sleep 0.1
    done
    echo "MIRVAL.EXE did not come up resident"
    exit 1
}
# Holds (stops) the Mirval that pgrep finds by its ARGS once it is starting (its
# mutex made, its window not yet marked), as a busy logon would hold it; HELD is
# then its process and CAUGHT "starting" (else what was seen last: a busy
# machine may let it through; the caller starts it again). A Wine process
# stopped early in its own start may hold up another's: each look is given two
# seconds.
hold_starting() {   # hold_starting PGREP-ARGS...
    HELD="" CAUGHT=""
    for _ in $(seq 100); do
        HELD=$(pgrep "$@")
        if [ -n "$HELD" ]; then
            kill -STOP $HELD
            CAUGHT=$(timeout 2 wine "$LOCATE" mirval 2>/dev/null | tr -d '\r')
            [ "$CAUGHT" = starting ] && return
            kill -CONT $HELD
        fi
        sleep 0.005
    done
}
show_dialog() {   # from the tray, then a click in it so that it has the keyboard, once it has
    click tray
    window_state shown >/dev/null
    control 1025
    until_true 50 locate focus "$caption" >/dev/null
}
# The tray menu's first ("&Quitter") or last ("&Aide") entry; the others are
# chosen by the keyboard, which reaches the menu only while the dialog has it.
tray_menu() {   # tray_menu first|last
    tray_menu_open
    click menu "$1"
}
tray_menu_open() {   # a right press on the icon, then until its menu is up
    # Pressed again if none came: a window closing under the pointer (a help
    # viewer) may take the first press.
    for _ in 1 2 3; do
        click 3 tray
        until_true 30 locate menu first >/dev/null && return
    done
}
# The help viewer that a gesture opens, once it is up (shot, if asked), closed
# and gone: out of the way of the next click or key.
close_help() {   # close_help [SCREENSHOT]
    until_true 100 shown '^Aide de Mirval$'
    [ -z "${1:-}" ] || { sleep 0.5 && world_screenshot "$1"; }   # its page painted
    locate close 'Aide de Mirval'
    until_true 50 eval "! shown '^Aide de Mirval$'"
}
mirval_quit() {   # "&Quitter"; MIRVAL_EXIT is then the exit code, or "still running"
    tray_menu first
    until_true 100 eval '! kill -0 "$MIRVAL_PID" 2>/dev/null'
    MIRVAL_EXIT="still running"
    kill -0 "$MIRVAL_PID" 2>/dev/null && kill "$MIRVAL_PID" && return
    wait "$MIRVAL_PID"
    MIRVAL_EXIT=$?
}
