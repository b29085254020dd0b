#!/usr/bin/env bash
# Draws Korvane's own pictures and icons into res/art/: the title picture, the two
# pictures of the result window, the two banner frames and the two icons.
# Needs ImageMagick 6 (convert) and the DejaVu fonts. Usage: make-artwork.sh [output folder]
set -euo pipefail

repo=$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)
out=${1:-$repo/res/art}
CONVERT=${CONVERT:-/usr/bin/convert}

die() {
    echo "make-artwork: $*" >&2
    exit 1
}

"$CONVERT" -version 2>/dev/null | grep -q '^Version: ImageMagick 6' ||
    die "$CONVERT is not ImageMagick 6's convert (set CONVERT to it)"
command -v fc-match >/dev/null || die "fc-match (fontconfig) is missing"
command -v od >/dev/null || die "od is missing"

# font FAMILY:STYLE FILENAME: the path of a DejaVu face, failing when fontconfig
# would hand out another font in its place.
font() {
    local path
    path=$(fc-match -f '%{file}' "$1")
    [[ $(basename "$path") == "$2" && -r $path ]] || die "font $2 not found (fonts-dejavu-core)"
    printf '%s' "$path"
}
SANS_BOLD=$(font 'DejaVu Sans:bold' DejaVuSans-Bold.ttf)
COND=$(font 'DejaVu Sans Condensed' DejaVuSansCondensed.ttf)
COND_BOLD=$(font 'DejaVu Sans Condensed:bold' DejaVuSansCondensed-Bold.ttf)
COND_BOLD_OBLIQUE=$(font 'DejaVu Sans Condensed:bold:oblique' DejaVuSansCondensed-BoldOblique.ttf)

# The palette shared by every picture.
BG_TOP='#0e1d31'
BG_BOTTOM='#04080e'
GLOW='rgba(50,140,230,0.30)'
GLOW_OUT='rgba(50,140,230,0)'
GRID='rgba(120,180,240,0.07)'
CYAN='#3cc8ff'
CYAN_LIGHT='#8fdcff'
STEEL_TEXT='#b8d4ec'
STEEL_DIM='#9fb4c8'
TICK='#c8d6e4'
AMBER='#ffab2e'
RED='#ff5a3c'
DIAL='rgba(8,16,28,0.88)'
DIAL_RIM='#2a4563'
TRACK='#23384f'
FRAME='#2a3f58'
SILVER_LOW='#8ea6bf'

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

SIZE=
# layer NAME ARGS...: a transparent picture of the current SIZE with ARGS drawn on it.
layer() {
    local name=$1
    shift
    "$CONVERT" -size "$SIZE" xc:none "$@" "$work/$name.png"
}

# glow NAME SIGMA: adds a soft halo of the layer's own colours around it.
glow() {
    "$CONVERT" "$work/$1.png" \( +clone -blur "0x$2" \) -compose screen -composite "$work/$1.png"
}

# background NAME GLOW_X GLOW_Y GLOW_SIZE GRID_STEP: the steel-blue gradient with a
# round glow centred at (GLOW_X, GLOW_Y) and a faint square grid.
background() {
    local name=$1 gx=$2 gy=$3 gs=$4 step=$5 w h grid
    w=${SIZE%x*}
    h=${SIZE#*x}
    grid=$(awk -v w="$w" -v h="$h" -v s="$step" 'BEGIN {
        for (x = s / 2; x < w; x += s) printf "line %d,0 %d,%d ", x, x, h
        for (y = s / 2 - 4; y < h; y += s) printf "line 0,%d %d,%d ", y, w, y }')
    "$CONVERT" -size "$SIZE" gradient:"$BG_TOP-$BG_BOTTOM" \
        \( -size "${gs}x$gs" radial-gradient:"$GLOW-$GLOW_OUT" \) \
        -geometry "+$((gx - gs / 2))+$((gy - gs / 2))" -composite \
        -fill none -stroke "$GRID" -strokewidth 1 -draw "$grid" "$work/$name.png"
}

# flatten OUT LAYERS...: stacks the layers (first at the bottom) into OUT.
flatten() {
    local target=$1
    shift
    local files=()
    for l in "$@"; do files+=("$work/$l.png"); done
    "$CONVERT" "${files[@]}" -background none -layers flatten "$work/$target.png"
}

# border NAME: a one-pixel steel frame round the picture.
border() {
    local w=${SIZE%x*} h=${SIZE#*x}
    "$CONVERT" "$work/$1.png" -fill none -stroke "$FRAME" -strokewidth 1 \
        -draw "rectangle 0.5,0.5 $((w - 1)).5,$((h - 1)).5" "$work/$1.png"
}

# to_bmp NAME FILE: writes the picture as an uncompressed 24-bit Windows BMP
# (version 3 header), the form that LoadBitmap reads on every Windows version.
to_bmp() {
    "$CONVERT" "$work/$1.png" -background "$BG_BOTTOM" -alpha remove -alpha off \
        -type TrueColor -define bmp:format=bmp3 "BMP3:$out/$2"
}

# arc CX CY R FIRST LAST: a polyline along a circle, angles in degrees clockwise
# from three o'clock (round joins: ImageMagick closes mitred polylines).
arc() {
    awk -v cx="$1" -v cy="$2" -v r="$3" -v a0="$4" -v a1="$5" 'BEGIN {
        pi = atan2(0, -1); n = int((a1 - a0) / 2) + 1
        printf "stroke-linejoin round polyline"
        for (i = 0; i <= n; i++) {
            a = (a0 + (a1 - a0) * i / n) * pi / 180
            printf " %.2f,%.2f", cx + r * cos(a), cy + r * sin(a) } }'
}

# ticks CX CY R COUNT MAJOR_EVERY MAJOR_LEN MINOR_LEN: the scale marks of a 270-degree gauge.
ticks() {
    awk -v cx="$1" -v cy="$2" -v r="$3" -v n="$4" -v every="$5" -v big="$6" -v small="$7" 'BEGIN {
        pi = atan2(0, -1)
        for (i = 0; i <= n; i++) {
            a = (135 + i * 270 / n) * pi / 180
            if (i % every == 0) { r0 = r - big; w = 2 } else { r0 = r - small; w = 1 }
            printf "stroke-width %d line %.2f,%.2f %.2f,%.2f ", w,
                cx + r0 * cos(a), cy + r0 * sin(a), cx + r * cos(a), cy + r * sin(a) } }'
}

# needle CX CY ANGLE LENGTH TAIL HALF_WIDTH: a tapered gauge needle.
needle() {
    awk -v cx="$1" -v cy="$2" -v a="$3" -v len="$4" -v tail="$5" -v hw="$6" 'BEGIN {
        pi = atan2(0, -1); t = a * pi / 180; n = t + pi / 2
        printf "polygon %.2f,%.2f %.2f,%.2f %.2f,%.2f %.2f,%.2f",
            cx + len * cos(t), cy + len * sin(t), cx + hw * cos(n), cy + hw * sin(n),
            cx - tail * cos(t), cy - tail * sin(t), cx - hw * cos(n), cy - hw * sin(n) }'
}

# trace W BASE AMPLITUDE PHASE: points of a frame-rate trace across the width W.
trace() {
    awk -v w="$1" -v base="$2" -v amp="$3" -v ph="$4" 'BEGIN {
        for (x = -4; x <= w + 4; x += 4) {
            y = base - amp * (sin(x / 37 + ph) + 0.5 * sin(x / 11 + 1 + ph) + 0.25 * sin(x / 5.3 + 2)) - amp * 0.8 * x / w
            printf "%d,%.1f ", x, y } }'
}

# gauge CX CY R NEEDLE_ANGLE LABEL_SIZE PREFIX: the frame-rate gauge as layers
# PREFIX-dial ... PREFIX-hub; labels 0 to 200 when LABEL_SIZE is not 0.
gauge() {
    local cx=$1 cy=$2 r=$3 at=$4 ls=$5 p=$6 w h
    w=${SIZE%x*}
    h=${SIZE#*x}
    layer "$p-dial" -fill "$DIAL" -stroke "$DIAL_RIM" -strokewidth 2 -draw "circle $cx,$cy $cx,$((cy - r - 6))"
    layer "$p-track" -fill none -strokewidth 5 -stroke "$TRACK" -draw "$(arc "$cx" "$cy" $((r - 1)) 135 405)"
    layer "$p-lit" -fill none -strokewidth 5 -stroke "$CYAN" -draw "$(arc "$cx" "$cy" $((r - 1)) 135 "$at")" \
        -stroke "$RED" -draw "$(arc "$cx" "$cy" $((r - 1)) 360 405)"
    glow "$p-lit" 4
    layer "$p-ticks" -fill none -stroke "$TICK" -draw "$(ticks "$cx" "$cy" $((r - 6)) 40 5 $((r / 6)) $((r / 14)))"
    local labels=()
    if ((ls > 0)); then
        while read -r x y v; do
            labels+=(-annotate "+$((x - w / 2))+$((y - h / 2))" "$v")
        done < <(awk -v cx="$cx" -v cy="$cy" -v r=$((r * 58 / 100)) 'BEGIN {
            pi = atan2(0, -1)
            for (i = 0; i <= 4; i++) { a = (135 + i * 270 / 4) * pi / 180
                printf "%.0f %.0f %d\n", cx + r * cos(a), cy + r * sin(a), i * 50 } }')
    fi
    layer "$p-labels" -font "$COND" -pointsize "$ls" -fill "$STEEL_DIM" -gravity center "${labels[@]}"
    layer "$p-needle" -fill "$AMBER" -draw "$(needle "$cx" "$cy" "$at" $((r * 83 / 100)) $((r / 5)) 3.5)"
    glow "$p-needle" 3
    layer "$p-hub" -fill '#1a2a3e' -stroke "$AMBER" -strokewidth 2 -draw "circle $cx,$cy $cx,$((cy - r / 12))"
}

# title NAME X BASELINE POINTS: the program's name in silver with a drop shadow.
title_text() {
    local name=$1 x=$2 y=$3 pts=$4 kern=${5:--0.5} shadow=${6:-3}
    layer "$name-mask" -font "$COND_BOLD_OBLIQUE" -pointsize "$pts" -kerning "$kern" -fill white -annotate "+$x+$y" Korvane
    "$CONVERT" -size "$SIZE" xc: -sparse-color barycentric "0,$((y - pts * 3 / 4)) #ffffff 0,$y $SILVER_LOW" \
        "$work/$name-mask.png" -compose copy-opacity -composite "$work/$name.png"
    "$CONVERT" "$work/$name-mask.png" -background black -shadow "75x$shadow+$((shadow * 2 / 3))+$shadow" +repage \
        -crop "$SIZE+0+0" +repage "$work/$name-shadow.png"
}

# rule NAME X Y LENGTH: a cyan line that fades out to the right.
rule() {
    "$CONVERT" -size "2x$4" gradient:"$CYAN-rgba(60,200,255,0)" -rotate -90 -background none \
        -gravity northwest -extent "$SIZE-$2-$3" +repage "$work/$1.png"
}

# ---------------------------------------------------------------------------
# Bitmap 133: the title picture of the main window and the About window.
make_title() {
    SIZE=500x252
    background t-bg 412 10 420 20
    local pts
    pts=$(trace 500 220 9 0)
    layer t-area -fill 'rgba(60,200,255,0.12)' -draw "polygon $pts 504,260 -4,260"
    layer t-trace -fill none -stroke "$CYAN" -strokewidth 1.6 -draw "stroke-linejoin round polyline $pts"
    glow t-trace 3
    gauge 414 112 72 318 11 t-g
    layer t-fps -font "$COND_BOLD" -pointsize 12 -kerning 1 -fill "$CYAN_LIGHT" -gravity center -annotate +164+18 FPS
    title_text t-name 22 110 72
    rule t-rule 24 128 290
    layer t-sub -font "$COND_BOLD" -pointsize 12 -kerning 1.5 -fill "$STEEL_TEXT" \
        -annotate +25+149 'UT2003 DEMO BENCHMARK FRONT END'
    flatten title t-bg t-area t-trace t-g-dial t-g-track t-g-lit t-g-ticks t-g-labels t-g-needle t-g-hub t-fps \
        t-name-shadow t-name t-rule t-sub
    border title
    to_bmp title title.bmp
}

# ---------------------------------------------------------------------------
# Bitmap 132: the result window's title picture, the program's name beside a
# chequered flag.
make_result_title() {
    SIZE=250x126
    background r-bg 205 14 260 16
    local pts
    pts=$(trace 250 114 5 1.3)
    layer r-area -fill 'rgba(60,200,255,0.12)' -draw "polygon $pts 254,130 -4,130"
    layer r-trace -fill none -stroke "$CYAN" -strokewidth 1.4 -draw "stroke-linejoin round polyline $pts"
    glow r-trace 2
    title_text r-name 11 60 38 -0.3 2
    rule r-rule 13 70 150
    layer r-sub -font "$COND_BOLD" -pointsize 10 -kerning 1.4 -fill "$STEEL_TEXT" -annotate +14+86 'BENCHMARK COMPLETE'
    # The flag is drawn four times larger and scaled down, for clean edges.
    local squares
    squares=$(awk 'BEGIN { for (r = 0; r < 5; r++) for (c = 0; c < 7; c++) if ((r + c) % 2 == 0)
        printf "rectangle %d,%d %d,%d ", c * 32, r * 32, c * 32 + 31, r * 32 + 31 }')
    "$CONVERT" -size 224x160 xc:'#13202f' -fill '#eef3f8' -draw "$squares" \
        -background none -virtual-pixel transparent -wave 14x250 \
        -fx 'u * (0.78 + 0.28 * cos(2 * pi * i / 250 - 0.6))' "$work/r-cloth.png"
    "$CONVERT" -size 300x300 xc:none \
        -fill "$STEEL_DIM" -stroke none -draw 'roundrectangle 40,20 52,292 6,6' \
        -fill "$AMBER" -draw 'circle 46,18 46,6' \
        "$work/r-cloth.png" -geometry +52+30 -composite \
        \( +clone -background black -shadow 60x6+6+10 \) +swap -background none -layers merge +repage \
        -rotate 10 -filter box -resize 21% "$work/r-flag-small.png"
    "$CONVERT" -size "$SIZE" xc:none "$work/r-flag-small.png" -geometry +180+10 -composite "$work/r-flag.png"
    flatten result-title r-bg r-area r-trace r-flag r-name-shadow r-name r-rule r-sub
    border result-title
    to_bmp result-title result-title.bmp
}

# ---------------------------------------------------------------------------
# Bitmap 140: the result window's side picture, a bar chart of six scenes with
# their average.
make_result_side() {
    SIZE=150x200
    background s-bg 75 70 240 15
    layer s-head -font "$COND_BOLD" -pointsize 10 -kerning 1.5 -fill "$STEEL_TEXT" -annotate +13+22 'FRAME RATE'
    rule s-rule 12 29 126
    # Bars from the floor at y=166, at most 118 pixels high.
    local bars caps avg
    bars=$(awk 'BEGIN { split("0.86 0.74 0.95 0.58 0.49 0.67", f, " ")
        for (i = 1; i <= 6; i++) { x = 14 + (i - 1) * 21 + (i > 3 ? 4 : 0)
            printf "rectangle %d,%d %d,166 ", x, 166 - int(118 * f[i]), x + 14 } }')
    caps=$(awk 'BEGIN { split("0.86 0.74 0.95 0.58 0.49 0.67", f, " ")
        for (i = 1; i <= 6; i++) { x = 14 + (i - 1) * 21 + (i > 3 ? 4 : 0)
            printf "rectangle %d,%d %d,%d ", x, 166 - int(118 * f[i]), x + 14, 167 - int(118 * f[i]) } }')
    avg=$((166 - 118 * 72 / 100))
    layer s-bars-shape -fill white -draw "$bars"
    "$CONVERT" -size "$SIZE" gradient:"$CYAN-#0a2a4a" "$work/s-bars-shape.png" -compose copy-opacity -composite \
        "$work/s-bars.png"
    layer s-caps -fill "$CYAN_LIGHT" -draw "$caps"
    glow s-caps 3
    layer s-floor -fill none -stroke "$STEEL_DIM" -strokewidth 1 -draw 'line 10,167.5 140,167.5'
    layer s-avg -fill none -stroke "$AMBER" -strokewidth 1.2 -draw "stroke-dasharray 5 3 line 10,$avg.5 140,$avg.5"
    glow s-avg 2
    layer s-avg-text -font "$COND_BOLD" -pointsize 9 -kerning 1 -fill "$AMBER" -annotate +111+$((avg - 4)) AVG
    layer s-labels -font "$COND_BOLD" -pointsize 9 -kerning 1 -fill "$STEEL_DIM" \
        -gravity north -annotate -33+173 FLYBY -annotate +34+173 BOTMATCH
    flatten result-side s-bg s-bars s-caps s-floor s-avg s-avg-text s-labels s-head s-rule
    border result-side
    to_bmp result-side result-side.bmp
}

# ---------------------------------------------------------------------------
# "Banner0" and "Banner1": two frames of a small advertisement for a made-up
# graphics card, the Brenvix GX9. The card stays in place while the colours and
# the slogan swap. The last eight rows hold nothing that must be seen, as a
# dialog may show the banner a little shorter than it is.
make_banner() {
    SIZE=150x86
    # The card: a cooler shroud with two fans, a bracket and gold contacts.
    local fan1 fan2 fingers
    fan1=$(awk -v cx=100 -v cy=31 'BEGIN { pi = atan2(0, -1)
        for (i = 0; i < 7; i++) { a = i * 2 * pi / 7
            printf "line %.2f,%.2f %.2f,%.2f ", cx + 3 * cos(a), cy + 3 * sin(a), cx + 10 * cos(a + 0.5), cy + 10 * sin(a + 0.5) } }')
    fan2=$(awk -v cx=127 -v cy=31 'BEGIN { pi = atan2(0, -1)
        for (i = 0; i < 7; i++) { a = i * 2 * pi / 7
            printf "line %.2f,%.2f %.2f,%.2f ", cx + 3 * cos(a), cy + 3 * sin(a), cx + 10 * cos(a + 0.5), cy + 10 * sin(a + 0.5) } }')
    fingers=$(awk 'BEGIN { for (x = 92; x <= 132; x += 3) if (x < 98 || x > 101) printf "rectangle %d,51 %d,54 ", x, x + 1 }')
    layer b-card \
        -fill "$STEEL_DIM" -draw 'rectangle 82,12 85,54' \
        -fill '#2b4561' -draw 'rectangle 87,44 140,50' \
        -fill '#e8b04a' -draw "$fingers" \
        -fill '#1b2c42' -stroke '#5f7f9f' -strokewidth 1 -draw 'roundrectangle 86.5,14.5 141.5,46.5 4,4' \
        -fill '#0a1522' -stroke "$CYAN" -draw 'circle 100,31 100,19 circle 127,31 127,19' \
        -fill none -stroke '#4e6d8c' -strokewidth 1.4 -draw "$fan1 $fan2" \
        -fill "$CYAN" -stroke none -draw 'circle 100,31 100,28 circle 127,31 127,28'
    layer b-card-shadow -fill black -draw 'roundrectangle 84,16 143,50 4,4' -blur 0x3 -channel A -evaluate multiply 0.6 +channel
    # Frame 0: dark, "NEW!" in an amber tag.
    "$CONVERT" -size "$SIZE" gradient:'#13243a-#070d16' \
        \( -size 160x160 radial-gradient:"$GLOW-$GLOW_OUT" \) -geometry +40-50 -composite "$work/b0-bg.png"
    layer b0-text -font "$COND_BOLD_OBLIQUE" -pointsize 13 -kerning 1.2 -fill white -annotate +7+21 BRENVIX \
        -font "$SANS_BOLD" -pointsize 26 -kerning -0.5 -fill "$AMBER" -annotate +6+48 GX9
    layer b0-tag -fill "$AMBER" -draw 'roundrectangle 6,58 44,75 3,3' \
        -font "$SANS_BOLD" -pointsize 11 -fill '#0a1522' -annotate +9+71 'NEW!' \
        -font "$COND_BOLD" -pointsize 10 -kerning 0.6 -fill "$STEEL_TEXT" -annotate +51+71 'GRAPHICS CARD'
    flatten banner0 b0-bg b-card-shadow b-card b0-text b0-tag
    border banner0
    to_bmp banner0 banner0.bmp
    # Frame 1: the colours turned round, amber ground with the slogan on a dark bar.
    "$CONVERT" -size "$SIZE" gradient:'#ffbf55-#f0891a' "$work/b1-bg.png"
    layer b1-text -font "$COND_BOLD_OBLIQUE" -pointsize 13 -kerning 1.2 -fill '#0a1522' -annotate +7+21 BRENVIX \
        -font "$SANS_BOLD" -pointsize 26 -kerning -0.5 -fill white -annotate +6+48 GX9
    layer b1-text-shadow -font "$SANS_BOLD" -pointsize 26 -kerning -0.5 -fill '#8a4300' -annotate +7+49 GX9 -blur 0x1
    layer b1-tag -fill '#0a1522' -draw 'roundrectangle 6,58 143,75 3,3' \
        -font "$COND_BOLD" -pointsize 10 -kerning 1.2 -fill "$AMBER" -gravity north -annotate +0+61 'FASTER FRAMES!'
    flatten banner1 b1-bg b-card-shadow b-card b1-text-shadow b1-text b1-tag
    border banner1
    to_bmp banner1 banner1.bmp
}

# ---------------------------------------------------------------------------
# Icons 128 and 143: a bold "K" inside a gauge ring.

# emblem PIXELS SHAPE NAME: the emblem at one size, drawn eight times larger and
# scaled down by area so that every pixel gets its true coverage. SHAPE is
# "tile" (a rounded square, the file icon) or "disc" (the window icon).
emblem() {
    local px=$1 shape=$2 name=$3 s=$(($1 * 8))
    local c=$((s / 2)) base rim ring ringw kpts
    if [[ $shape == tile ]]; then
        base="roundrectangle $((s / 32)),$((s / 32)) $((s - s / 32 - 1)),$((s - s / 32 - 1)) $((s / 5)),$((s / 5))"
    else
        base="circle $c,$c $c,$((s / 64))"
    fi
    rim=$((s / 32 > 8 ? 8 : s / 32))
    ring=$((s * 37 / 100))
    ringw=$((s * 9 / 100))
    kpts=$((s * 55 / 100))
    # The smallest icon gets a heavier ring and a letter of its own.
    if ((px <= 16)); then
        ring=$((s * 38 / 100))
        ringw=$((s * 12 / 100))
        # At 16 pixels the letter is drawn on the pixel grid: a two-pixel stem
        # from row 4 to row 12 and two arms, in units of one icon pixel.
        local k
        k=$(awk -v u=8 'BEGIN {
            printf "polygon %g,%g %g,%g %g,%g %g,%g ", 5*u, 4*u, 7*u, 4*u, 7*u, 12*u, 5*u, 12*u
            printf "polygon %g,%g %g,%g %g,%g %g,%g ", 7*u, 7.6*u, 9.4*u, 4*u, 11.4*u, 4*u, 7*u, 10.4*u
            printf "polygon %g,%g %g,%g %g,%g %g,%g", 8.2*u, 8.6*u, 9.5*u, 7.1*u, 11.5*u, 12*u, 9.4*u, 12*u }')
        "$CONVERT" -size "${s}x$s" xc:none -fill white -stroke none -draw "$k" "$work/$name-k.png"
    else
        "$CONVERT" -size "${s}x$s" xc:none -fill white -stroke none -font "$SANS_BOLD" -pointsize "$kpts" \
            -gravity center -annotate +0+0 K -trim +repage -background none -gravity center \
            -extent "${s}x$s-$((s / 50))+0" +repage "$work/$name-k.png"
    fi
    "$CONVERT" -size "${s}x$s" xc:none -fill white -draw "$base" "$work/$name-shape.png"
    "$CONVERT" -size "${s}x$s" gradient:'#27486c-#08111c' "$work/$name-shape.png" -compose copy-opacity -composite \
        -compose over -fill none -stroke '#4f7498' -strokewidth "$rim" -draw "$base" \
        -strokewidth "$ringw" -stroke "$TRACK" -draw "$(arc $c $c $ring 135 405)" \
        -stroke "$CYAN" -draw "$(arc $c $c $ring 135 330)" \
        -stroke "$RED" -draw "$(arc $c $c $ring 360 405)" \
        "$work/$name-k.png" -composite \
        -filter box -resize "${px}x$px" "$work/$name.png"
}

# icon FILE SHAPE: a .ico with 48, 32 and 16 pixels at 32 bits with alpha, then
# the same at 256 colours with a one-bit mask for systems without alpha icons.
icon() {
    local file=$1 shape=$2 frames=() paletted=()
    for px in 48 32 16; do
        emblem "$px" "$shape" "i-$shape-$px"
        frames+=("$work/i-$shape-$px.png")
        # Half-transparent edge pixels become opaque over the emblem's own dark
        # blue or fully transparent.
        "$CONVERT" "$work/i-$shape-$px.png" \( +clone -background '#1a2a3e' -alpha remove \) +swap \
            -compose copy-opacity -composite -channel A -threshold 50% +channel "$work/i-$shape-$px-mask.png"
        paletted+=(\( "$work/i-$shape-$px-mask.png" +dither -colors 255 -type PaletteAlpha \))
    done
    "$CONVERT" "${frames[@]}" "${paletted[@]}" "ICO:$out/$file"
}

# ---------------------------------------------------------------------------
# Checks of what was written, read from the files' own headers.

# le FILE OFFSET BYTES [d]: a little-endian number from the file, unsigned or
# (with d) signed.
le() {
    od -An -t "${4:-u}$3" -j "$2" -N "$3" "$1" | tr -d ' '
}

# check_bmp FILE WIDTH HEIGHT: a bottom-up, uncompressed 24-bit BMP with a
# 40-byte BITMAPINFOHEADER and nothing else in it.
check_bmp() {
    local f=$out/$1 w=$2 h=$3
    local stride=$(((w * 3 + 3) / 4 * 4))
    [[ -f $f ]] || die "$1 missing"
    [[ $(head -c 2 "$f") == BM ]] || die "$1: not a BMP"
    (($(le "$f" 14 4) == 40)) || die "$1: header is not BITMAPINFOHEADER (40 bytes)"
    (($(le "$f" 18 4 d) == w && $(le "$f" 22 4 d) == h)) ||
        die "$1: $(le "$f" 18 4 d) x $(le "$f" 22 4 d), want $w x $h (bottom-up)"
    (($(le "$f" 26 2) == 1)) || die "$1: planes is not 1"
    (($(le "$f" 28 2) == 24)) || die "$1: $(le "$f" 28 2) bits per pixel, want 24"
    (($(le "$f" 30 4) == 0)) || die "$1: compressed"
    (($(le "$f" 10 4) == 54)) || die "$1: pixels do not follow the header"
    (($(stat -c %s "$f") == 54 + stride * h)) || die "$1: $(stat -c %s "$f") bytes, want $((54 + stride * h))"
    echo "$1: ${w} x ${h}, 24 bits per pixel, BMP version 3, $(stat -c %s "$f") bytes"
}

# check_ico FILE: one image of each of 16, 32 and 48 pixels at 32 bits, every
# image a BITMAPINFOHEADER bitmap of its directory entry's size.
check_ico() {
    local f=$out/$1 count i e px bits off sizes=()
    [[ -f $f ]] || die "$1 missing"
    (($(le "$f" 0 2) == 0 && $(le "$f" 2 2) == 1)) || die "$1: not an icon file"
    count=$(le "$f" 4 2)
    for ((i = 0; i < count; i++)); do
        e=$((6 + 16 * i))
        px=$(le "$f" "$e" 1)
        off=$(le "$f" $((e + 12)) 4)
        (($(le "$f" $((e + 1)) 1) == px)) || die "$1: image $i is not square"
        (($(le "$f" "$off" 4) == 40)) || die "$1: image $i is not a BITMAPINFOHEADER bitmap"
        (($(le "$f" $((off + 4)) 4) == px && $(le "$f" $((off + 8)) 4) == 2 * px)) ||
            die "$1: image $i header does not match its ${px}-pixel entry"
        bits=$(le "$f" $((off + 14)) 2)
        sizes+=("${px}x$px/${bits}bit")
    done
    for px in 16 32 48; do
        [[ " ${sizes[*]} " == *" ${px}x$px/32bit "* ]] || die "$1: no ${px}x$px image at 32 bits"
    done
    echo "$1: ${sizes[*]}"
}

make_title
make_result_title
make_result_side
make_banner
icon korvane.ico tile
icon window.ico disc

check_bmp title.bmp 500 252
check_bmp result-title.bmp 250 126
check_bmp result-side.bmp 150 200
check_bmp banner0.bmp 150 86
check_bmp banner1.bmp 150 86
check_ico korvane.ico
check_ico window.ico
