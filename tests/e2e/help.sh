#!/bin/bash
# The help, as a person opens it, read in the real viewer: "&Aide" from the tray
# menu opens the contents, F1 in the setup dialog its topic, F1 in the about box
# its own. Which topic the viewer opened is what the viewer itself traces.
set -u
. "$(dirname "$0")/lib.sh"
log=$MIRVAL_TEST_WORLD/help.log
hlp=${1%.EXE}.HLP
entries=$(python3 - "$hlp" "$here/../../res/help" <<'PY'
import struct, sys
sys.path.insert(0, sys.argv[2])
import contextmap as c
data = open(sys.argv[1], "rb").read()
at = c.u32(data, dict(c.leaf_entries(data, c.u32(data, 4), None))["|CTXOMAP"])
print(" ".join("%x" % struct.unpack_from("<i", data, at + 11 + 8 * i)[0] for i in range(c.u16(data, at + 9))))
PY
)
check "the help file maps the two dialogs' numbers" "20066 20064" "$entries"

# The number the viewer looked up after line $1 of its trace, and the title of
# the page it opened (no number, and an offset of ffffffff: the first page).
opened_since() {
    local lookups offset title
    for _ in $(seq 30); do
        lookups=$(tail -n +"$1" "$log" | grep -a -E 'HLPFILE_PageBy(Map|Offset)' | head -2)
        [ -n "$lookups" ] && break
        sleep 0.2
    done
    offset=$(echo "$lookups" | sed -n 's/.*PageByOffset.*\[\(.*\)\]/\1/p' | head -1)
    [ "$offset" = ffffffff ] && offset=0
    title=$(grep -a 'HLPFILE_AddPage' "$log" | grep -a "<< 0*$offset >>" | sed 's/.*title="\(.*\)" .* << .*/\1/')
    echo "$(echo "$lookups" | sed -n 's/.*PageByMap.*\[\(.*\)\]/\1/p')|$title"
}
lines() { wc -l <"$log"; }

WINEDEBUG=+winhelp mirval_start "$1" "$log"
at=$(lines)
tray_menu last                        # "&Aide"
check "\"&Aide\" opens the contents" "|Sommaire" "$(opened_since "$at")"
check "in a viewer with the help's title" 1 "$(xdotool search --name '^Aide de Mirval$' | wc -l)"
check "and its button back to the contents in French" 1 "$(grep -c 'CreateButton ("btn_up", "&Haut"' "$log")"

show_dialog
at=$(lines)
xdotool key F1
check "F1 in the setup dialog opens its topic" '20066|La fen\xeatre de param\xe9trage' "$(opened_since "$at")"
control 1007                          # "Annuler": the dialog out of the viewer's way
sleep 1
world_screenshot "$shots/help.png"

show_dialog
click 3 tray
sleep 0.3
xdotool key Up Up Return              # "A propos de ...", by the keyboard
at=$(lines)
xdotool key F1
check "F1 in the about box opens its topic" '20064|La bo\xeete \xab\xa0A propos de Mirval\xa0\xbb' "$(opened_since "$at")"
xdotool key Escape
mirval_quit
finish
