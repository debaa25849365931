#!/bin/bash
# "Ok" in the real setup dialog, clicked as a person would: the stored form is
# written whole; an executable started under another name saves under its own.
set -u
exe=$1
. "$(dirname "$0")/lib.sh"
key='HKCU\Software\Tarvex Software'
count_values() {   # the REG_SZ values under a key and its subkeys
    wine reg query "$1" /s 2>/dev/null | tr -d '\r' | grep -c ' REG_SZ'
}
# Starts the program, shows its dialog from the tray and clicks "Ok", which
# stands at the bottom right, left of "Annuler".
save_with_ok() {   # save_with_ok EXE
    mirval_start "$1" || exit 1
    xdotool mousemove $TRAY_X $TRAY_Y click 1
    wait_window shown >/dev/null
    click_caption
    click_dialog 525 368
}

reg_delete_key "$key"
reg_set "$key\\MIRVAL\\Semaine" Lundi 'C:\IMAGES\LUNDI.BMP'
reg_set "$key\\MIRVAL\\Semaine" MosaLundi 1
save_with_ok "$exe"
check "\"Ok\" hides the dialog" hidden "$(wait_window hidden)"
check "\"Ok\" writes the forty values" 40 "$(count_values "$key\\MIRVAL")"
check "a weekday keeps its picture" 'C:\IMAGES\LUNDI.BMP' "$(reg_get "$key\\MIRVAL\\Semaine" Lundi)"
check "and its flag" 1 "$(reg_get "$key\\MIRVAL\\Semaine" MosaLundi)"
check "an empty month is an empty text" "" "$(reg_get "$key\\MIRVAL\\Mois" Janvier)"
check "the every-day flag follows \"&Centré\"" 0 "$(reg_get "$key\\MIRVAL\\Divers" Mosaique)"
mirval_quit

renamed=$MIRVAL_TEST_WORLD/PAPIER.EXE
cp "$exe" "$renamed"
save_with_ok "$renamed"
check "renamed, \"Ok\" still hides the dialog" hidden "$(wait_window hidden)"
check "renamed, it saves under its own name" 40 "$(count_values "$key\\PAPIER")"
check "and leaves MIRVAL's settings alone" 'C:\IMAGES\LUNDI.BMP' "$(reg_get "$key\\MIRVAL\\Semaine" Lundi)"
mirval_quit
rm -f "$renamed"

finish
