# Shell functions that give MIRVAL.EXE a world to run in: an X display, a Wine
# prefix with a virtual desktop (so that the wallpaper shows), and the desktop
# itself. Sourced by scripts/run and by the test harness.

WORLD_DESKTOP_SIZE=${WORLD_DESKTOP_SIZE:-800x600}
WORLD_DESKTOP_NAME=${WORLD_DESKTOP_NAME:-Default}

# The environment of every Wine call in the world kept under $1.
world_env() {
    local state=$1
    export WINEPREFIX=${WORLD_PREFIX:-$state/prefix}
    export WINEDEBUG=${WINEDEBUG:--all}
    # A new prefix would otherwise offer to download Mono and Gecko.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${WORLD_EXTRA_OVERRIDES:+;$WORLD_EXTRA_OVERRIDES}"
    if [ -f "$state/display" ]; then
        DISPLAY=$(cat "$state/display")
        export DISPLAY
    fi
}

# Starts an Xvfb display of its own on the first free number; notes it in $1.
world_start_xvfb() {
    local state=$1 n
    for n in $(seq 90 190); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    setsid Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
    done
    echo ":$n" >"$state/display"
}

# Makes the prefix if it is not there yet, with every program on one virtual desktop.
world_make_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        wineserver -w
    fi
    # A program that crashes ends, Wine's backtrace on its error output, rather
    # than waiting behind the debugger's dialog for a click nobody makes.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d "$WORLD_DESKTOP_NAME" /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v "$WORLD_DESKTOP_NAME" \
        /d "$WORLD_DESKTOP_SIZE" /f >/dev/null 2>&1
}

# Keeps the desktop (and with it the Wine server) up between programs, so that
# the wallpaper stays on the screen after a program has ended.
world_start_desktop() {
    local state=$1
    setsid wine explorer "/desktop=$WORLD_DESKTOP_NAME,$WORLD_DESKTOP_SIZE" </dev/null >/dev/null 2>&1 &
    echo $! >"$state/desktop.pid"
    # The desktop is up once Wine's X window for it exists (a prefix that Wine
    # brings up to date first takes a while longer).
    for _ in $(seq 300); do
        xwininfo -root -tree 2>/dev/null | grep -q "$WORLD_DESKTOP_NAME - Wine desktop" && return 0
        sleep 0.1
    done
    echo "wine-world: the virtual desktop did not come up" >&2
    return 1
}

world_stop() {
    local state=$1
    [ -d "$state" ] || return 0
    world_env "$state"
    [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
    local f
    for f in "$state/desktop.pid" "$state/xvfb.pid"; do
        [ -f "$f" ] && kill "$(cat "$f")" 2>/dev/null || true
        rm -f "$f"
    done
    rm -f "$state/display"
    return 0
}

# A screenshot of the virtual desktop as a PNG.
world_screenshot() {
    local out=$1 size=${WORLD_DESKTOP_SIZE}
    import -window root -crop "${size}+0+0" +repage "$out"
}
