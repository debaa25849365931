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
