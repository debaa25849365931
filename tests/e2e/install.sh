#!/bin/bash
# A Windows user's way with the setup program, in a fresh prefix of its own: a
# silent install and what it leaves; the next session's start, which runs the
# Run value and installs today's picture; a second install while Mirval runs;
# the uninstall as the uninstall entry says, while Mirval runs, and once more;
# an accented folder with blanks, installed, started at logon and removed, a
# file of the user's left there; a folder that cannot be written; a folder in
# Cyrillic. A French page of the setup program is shot for the README on the way.
#   install.sh MIRVAL.EXE SETUP.EXE
set -u
. "$(dirname "$0")/lib.sh"
exe_dir=$(dirname "$1")
setup=$(winepath -w "$2")
inst=$MIRVAL_TEST_WORLD/install
world_stop "$inst"
rm -rf "$inst" && mkdir -p "$inst" && cp "$MIRVAL_TEST_WORLD/display" "$inst/"
world_env "$inst"
WORLD_DESKTOP_NAME=Installation world_make_prefix
# Wine's desktop in the machine's plain language: what the setup program starts
# must still take the language of the setup program's own start.
(unset LC_ALL; export LANG=C.UTF-8; WORLD_DESKTOP_NAME=Installation world_start_desktop "$inst") ||
    exit 1
trap 'world_stop "$inst"' EXIT

run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
entry='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Mirval'
default="C:\\users\\$(id -un)\\AppData\\Local\\Programs\\Mirval"
shortcut="$(winepath -u "C:\\users\\$(id -un)\\AppData\\Roaming")/Microsoft/Windows/Start Menu/Programs/Mirval.lnk"
picture='C:\Images\JOUR.BMP'
mkdir -p "$(winepath -u 'C:\Images')"
convert -size 64x48 xc:blue -type truecolor "BMP3:$(winepath -u "$picture")"
reg_set 'HKCU\Software\Tarvex Software\MIRVAL\Divers' Toujours "$picture"
reg_set "$desktop" Wallpaper ""

# Runs a command line as the shell does; its exit code. Nothing of it reaches a
# pipe, which the Mirval it may start would keep open.
start() { timeout 120 wine "$LOCATE" run "$1" </dev/null >/dev/null 2>&1; }   # 124: hung
running() { pgrep -f '\\MIRVAL\.EXE$' | tr '\n' ' '; }
# What the setup program left in a folder and the registry, on one line.
installed() {   # installed FOLDER
    local f files=""
    for f in MIRVAL.EXE MIRVAL.HLP MIRVAL.CHM; do
        cmp -s "$exe_dir/$f" "$(winepath -u "$1\\$f")" && files+="$f "
    done
    [ -f "$(winepath -u "$1\\uninstall.exe")" ] && files+="uninstall.exe"
    echo "$files|$(ls "$(winepath -u "$1")" 2>/dev/null | wc -l)|$(reg_get "$run" Mirval)"
}
# Runs the uninstall entry's quiet command, which hands over to a copy of
# itself and returns at once; waits until the copy has removed the entry.
uninstall() {
    start "$(reg_get "$entry" QuietUninstallString)"
    until_true 100 eval '! wine reg query "$entry" >/dev/null 2>&1'
    until_true 50 eval '[ -z "$(running)" ]'
}
# Starts a session as Wine does at logon: wineboot runs the Run values.
session() {
    wine wineboot </dev/null >/dev/null 2>&1
    until_true 100 eval '[ -n "$(running)" ]'
}

# Another program's dialog with the controls 1000, 1001 and 1004, all along.
wine "$LOCATE" decoy "$(winepath -w "$inst/decoy.txt")" >/dev/null 2>&1 &

start "$setup /S"
check "the silent install ends with 0" 0 "$?"
check "and, having ended no Mirval, starts none" "" "$(running)"
all="MIRVAL.EXE MIRVAL.HLP MIRVAL.CHM uninstall.exe|4"
check "it installs the program, its help and the uninstaller, and starts with the session" \
    "$all|\"$default\\MIRVAL.EXE\"" "$(installed "$default")"
check "a Start-menu shortcut to the program" 1 "$(grep -c -a 'MIRVAL.EXE' "$shortcut")"
listing=$(wine reg query "$entry" | tr -d '\r' | sed -n 's/^ *\([A-Za-z]*\) *REG_[A-Z]* *\(.*\)/\1=\2/p' |
    sed 's/^EstimatedSize=0x[0-9a-f]\{3,\}$/EstimatedSize=some KB/' | sort | tr '\n' '|')
check "an uninstall entry" "DisplayIcon=$default\\MIRVAL.EXE,0|DisplayName=Mirval|DisplayVersion=$(
    sed -n 's/.*Mirval-\(.*\)-setup.exe/\1/p' <<<"$2")|EstimatedSize=some KB|InstallLocation=$default|\
NoModify=0x1|NoRepair=0x1|Publisher=Tarvex Software|QuietUninstallString=\"$default\\uninstall.exe\" /S|\
UninstallString=\"$default\\uninstall.exe\"|" "$listing"

session
first=$(running)
check "the next session starts Mirval" yes "$([ -n "$first" ] && echo yes)"
until_true 50 eval '[ "$(reg_get "$desktop" Wallpaper)" = "$picture" ]'
check "which installs today's picture" "$picture" "$(reg_get "$desktop" Wallpaper)"
# An upgrade ends it and starts it again, speaking the user's language.
start "$setup /S"
until_true 100 eval '[ "$(locate mirval)" = resident ] && [ -n "$(running)" ] && [ "$(running)" != "$first" ]'
check "the Mirval an upgrade starts again speaks the user's language" "Image du mirval" "$(
    xdotool search --name '^(Image du mirval|Mirval picture) ' getwindowname 2>/dev/null |
        head -1 | sed 's/  .*//')"
first=$(running)

echo garbage >"$(winepath -u "$default\\MIRVAL.HLP")"
reg_set 'HKCU\Software\Tarvex Software\MIRVAL\Semaine' Lundi 'C:\Images\LUNDI.BMP'
cp "$(winepath -u "$default\\uninstall.exe")" "$inst/again.exe"
# The uninstall at once, while the Mirval that the upgrade started is still
# starting: held (stopped) between its mutex and its window's mark, as a busy
# logon would hold it, until the uninstall has had time to look (upgraded again
# should it slip through).
for _ in 1 2 3; do
    start "$setup /S"
    until_true 50 eval '[ -n "$(running)" ]'
    hold_starting -f '\\MIRVAL\.EXE$'
    [ "$CAUGHT" = starting ] && break
    [ -z "$HELD" ] || kill -CONT $HELD
done
upgraded=$(running)
replaced=$(cmp -s "$exe_dir/MIRVAL.HLP" "$(winepath -u "$default\\MIRVAL.HLP")" && echo yes)
# Let go five seconds after the uninstall's start: longer than the two it gives
# a Mirval without its mutex, within the ten it gives one that has it.
start "$(winepath -w "$inst/again.exe") /S _?=$default" &
until_true 100 pgrep -x again.exe >/dev/null
sleep 5
kill -CONT $HELD
wait $!
removed=$?
check "the Mirval that the upgrade starts is caught in its start" starting "$CAUGHT"
check "a second install ends the running Mirval and starts it again" "|yes" \
    "$(grep -o "$first" <<<"$upgraded")|$([ -n "$upgraded" ] && echo yes)"
check "with its files replaced" yes "$replaced"
check "and the schedule kept" 'C:\Images\LUNDI.BMP' \
    "$(reg_get 'HKCU\Software\Tarvex Software\MIRVAL\Semaine' Lundi)"
check "the uninstall at once after it ends with 0" 0 "$removed"
check "and ends Mirval, removes its files, folder, shortcut and entry" "||0|<missing>|no|no" \
    "$(running)|$(installed "$default")|$([ -e "$shortcut" ] && echo yes || echo no)|$(
    wine reg query "$entry" >/dev/null 2>&1 && echo yes || echo no)"
check "but keeps the schedule and the wallpaper" "$picture|$picture" \
    "$(reg_get 'HKCU\Software\Tarvex Software\MIRVAL\Divers' Toujours)|$(reg_get "$desktop" Wallpaper)"
start "$(winepath -w "$inst/again.exe") /S _?=$default"
check "an uninstall run again finds nothing to do and ends with 0" 0 "$?"

# A Mirval about to start, its mutex not yet made when the uninstall first
# looks (played by locate, as a real one cannot be held at that point): the
# uninstall waits for it all the same, and ends it.
start "$setup /S"
timeout 30 wine "$LOCATE" latecomer >/dev/null 2>&1 &
late=$!
start "$(reg_get "$entry" QuietUninstallString)"
wait $late
late=$?
check "a Mirval about to start is waited for by the uninstall, and ended" 7 "$late"

# Blanks and accents, and a C:\Mes.exe that an unquoted Run value would start.
accents="C:\\Mes programmes\\Fonds d'$(printf '\xc3\xa9')cran $(printf '\xc3\xa0') jour"
cp "$(winepath -u 'C:\windows\system32\hostname.exe')" "$(winepath -u 'C:\Mes.exe')"
start "$setup /S /D=$accents"
check "an accented folder with blanks" "$all|\"$accents\\MIRVAL.EXE\"" "$(installed "$accents")"
session
check "the Run value starts Mirval there" yes "$(pgrep -af '\\MIRVAL\.EXE$' | grep -qF "$accents" && echo yes)"
# A Mirval that cannot be ended (stopped here) holds its program: Wine, like
# Windows, refuses to delete a running program's file.
# Stopped once resident (its icon up, its blink over), not in the middle of its
# start, when the taskbar may be waiting on its window.
until_true 100 eval 'locate tips | grep -qx Mirval'
sleep 1
held=$(pgrep -f '\\MIRVAL\.EXE$')
kill -STOP $held
cp "$(winepath -u "$accents\\uninstall.exe")" "$inst/held.exe"
start "$(winepath -w "$inst/held.exe") /S _?=$accents"
check "then the uninstall removes nothing and ends with 3" "3|$all|\"$accents\\MIRVAL.EXE\"|Mirval" \
    "$?|$(installed "$accents")|$(reg_get "$entry" DisplayName)"
kill -CONT $held
rm "$(winepath -u "$accents\\MIRVAL.HLP")"    # deleted by hand
echo "mes notes" >"$(winepath -u "$accents\\NOTES.TXT")"   # the user's own
copies=$(winepath -u "C:\\users\\$(id -un)\\AppData\\Local\\Mirval")
mkdir -p "$copies" && for f in FOND1.BMP FOND1.TXT FOND2.BMP ESSAI.BMP RETOUR; do echo x >"$copies/$f"; done
reg_set "$desktop" Wallpaper "C:\\users\\$(id -un)\\AppData\\Local\\Mirval\\FOND2.BMP"
uninstall
check "and the uninstall removes what is left, but not the user's file nor its folder" \
    "|1|<missing>|mes notes" \
    "$(installed "$accents")|$(cat "$(winepath -u "$accents\\NOTES.TXT")")"
check "nor the copy of a photo that the desktop shows, but Mirval's others" FOND2.BMP "$(ls "$copies")"

# D: is a drive nobody may write to, as a CD-ROM's disc (here Linux's /sys).
ln -sfn /sys "$WINEPREFIX/dosdevices/d:"
start "$setup /S /D=D:\\Mirval"
check "a folder that cannot be written stops the install" 2 "$?"
check "with nothing registered" "<missing>|<missing>" \
    "$(reg_get "$run" Mirval)|$(reg_get "$entry" DisplayName)"

# The pages in French, as far as the page of the session's start; then Annuler.
# Each page is waited for by its header (control 1037) before the next click.
start "$setup" &
setup_caption='Installation de Mirval'
until_true 100 shown "^$setup_caption$"
page() { local want=$1; until_true 100 eval '[ "$(locate text "$setup_caption" 1037)" = "$want" ]'; }
click control "$setup_caption" 1                      # "Suivant >" on the welcome page
page "$(printf 'Choisissez le dossier d\x27installation')"
click control "$setup_caption" 1
page "$(printf 'D\xe9marrage avec Windows')"
world_screenshot "$shots/setup-program.png"
click control "$setup_caption" 2                      # "Annuler"
click control "$setup_caption" 6                      # "Oui" in the box that asks
wait $!
check "a setup program left on its pages installs nothing" "|0|<missing>" "$(installed "$default")"
# A folder that the code page cannot name, as a profile in Cyrillic (the
# journey starts the program and its help from such a folder).
timeout 120 wine "$2" /S '/D=C:\Программы\Mirval' </dev/null >/dev/null 2>&1
check "the setup program installs into a folder in Cyrillic" "${all%|*}" \
    "$(installed 'C:\Программы\Mirval' | cut -d'|' -f1)"
check "the other program's dialog was never sent a command" "" "$(cat "$inst/decoy.txt" 2>/dev/null)"
[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
