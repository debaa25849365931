# Sample pictures and a schedule for a newcomer's first run: every weekday and
# month gets one of them, so that today always has a picture.

# draw_samples DIR: a few bitmaps drawn here, 24 bits, the platform's BMP form.
draw_samples() {
    local dir=$1
    mkdir -p "$dir"
    convert -size 800x600 gradient:'#ffb347-#6a0dad' -type truecolor "BMP3:$dir/AUBE.BMP"
    convert -size 800x600 radial-gradient:'#87ceeb-#000080' -type truecolor "BMP3:$dir/VAGUES.BMP"
    # Squares of 8 pixels, white and green: a tile small enough to show the tiling.
    convert -size 64x64 xc: -fx '(floor(i/8)+floor(j/8))%2' -fill '#2e8b57' -opaque black \
        -type truecolor "BMP3:$dir/DAMIER.BMP"
    convert -size 400x300 xc:'#f5deb3' -fill '#8b4513' -draw 'circle 200,150 200,40' \
        -fill '#228b22' -draw 'rectangle 0,250 400,300' -type truecolor "BMP3:$dir/SOLEIL.BMP"
}

# seed_schedule WINDIR: the schedule as a registry file, imported by regedit.
# WINDIR is the pictures' folder as the program sees it, ending in a backslash.
seed_schedule() {
    local windir=$1 reg
    local keys=(Lundi Mardi Mercredi Jeudi Vendredi Samedi Dimanche)
    local months=(Janvier Février Mars Avril Mai Juin Juillet Août Septembre Octobre Novembre Décembre)
    local pictures=(AUBE VAGUES DAMIER SOLEIL)
    local i k dir=${windir//\\/\\\\}
    reg=$(mktemp --suffix=.reg)
    {
        echo 'REGEDIT4'
        echo
        echo '[HKEY_CURRENT_USER\Software\Tarvex Software\MIRVAL\Semaine]'
        for i in "${!keys[@]}"; do
            k=${keys[$i]}
            echo "\"$k\"=\"$dir${pictures[$((i % 4))]}.BMP\""
            echo "\"Mosa$k\"=\"$([ "${pictures[$((i % 4))]}" = DAMIER ] && echo 1 || echo 0)\""
        done
        echo
        echo '[HKEY_CURRENT_USER\Software\Tarvex Software\MIRVAL\Mois]'
        for i in "${!months[@]}"; do
            k=${months[$i]}
            echo "\"$k\"=\"$dir${pictures[$(((i + 1) % 4))]}.BMP\""
            echo "\"Mosa$k\"=\"$([ "${pictures[$(((i + 1) % 4))]}" = DAMIER ] && echo 1 || echo 0)\""
        done
    } | iconv -f UTF-8 -t CP1252 >"$reg"
    wine regedit /s "$(winepath -w "$reg")" >/dev/null 2>&1
    rm -f "$reg"
}
