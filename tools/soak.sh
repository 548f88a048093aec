#!/usr/bin/env bash
# The viewer through a long run of edits, as a modder makes them: tise shows
# a screen under Xvfb while a writer saves, in turn, the screen file (a box
# changes colour), a texture (a tile changes colour) and a string table (a
# label changes its text), each save made as editors make them (renamed over
# the old file, or rewritten in place), and the pointer moves over the
# screen's buttons between saves. After each save the script waits for the
# window to show it: a save shown is a reload done.
#
# At the end it prints the viewer's memory (resident set) once the screen
# was first shown and at the end, the saves made, the reloads seen, and the
# errors seen: message boxes, lines the viewer wrote to stderr, saves not
# shown within 5 seconds, and whether the viewer died. Exit status 1 when
# there were errors.
#   BUILD_DIR  build folder (default: build)
#   DURATION   seconds to run (default: 600)
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(cd "${BUILD_DIR:-build}" && pwd)"
duration="${DURATION:-600}"
for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "soak.sh needs $tool (tools/install-deps.sh installs it)" >&2; exit 2; }
done

work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# ---------------------------------------------------------------- the mod
data="$work/Soak/Data"
mkdir -p "$data/Art/UI/Screens" "$data/Art/UI/Textures" "$data/Font" "$work/Soak/Locale/English" "$work/home"
cp "$build/sample/Ironveil/Data/Font/"* "$data/Font/"
printf '[global]\nName = Soak\nDescription = Soak: a screen saved over and over\nModFolder = Soak\nDataFolder.1 = Data\n' \
    >"$work/Soak.module"

# The screen with its box in red (0-255; 3 digits, so that each version is
# as long as the others and rewriting in place leaves no tail).
screen_text() {
    local buttons="" i
    for i in 0 1 2 3 4; do
        buttons+="{ name = 'button$i', tooltip_name = 'tip', tooltip_text = 'Button $i', position = { 0.$((i * 2)), 0.8 }, size = { 0.18, 0.15 }, Presentation = { Art = {
  { type = 'Rectangle', colour = { 90, 90, 90, 255 }, states = { 'Normal' } },
  { type = 'Rectangle', colour = { 240, 200, 40, 255 }, states = { 'Hover' } } } } },
"
    done
    printf "Screen = {
TooltipWidgets = { name = 'tips', Children = { { name = 'tip', position = { 0.3, 0.66 }, size = { 0.4, 0.1 }, Presentation = { Art = {
  { type = 'Rectangle', colour = { 0, 0, 0, 255 }, states = { 'Normal', 'Hover' } },
  { type = 'Text', fontname = 'gillsans_16', horzAlign = 'Centre', textColourTop = { 255, 255, 255, 255 }, states = { 'Normal', 'Hover' } } } } } } },
Widgets = { name = 'Root', Children = {
{ name = 'box', position = { 0, 0 }, size = { 0.5, 0.4 }, Presentation = { Art = {
  { type = 'Rectangle', colour = { %3d, 40, 40, 255 }, states = { 'Normal', 'Hover' } } } } },
{ name = 'tile', position = { 0.5, 0 }, size = { 0.5, 0.4 }, Presentation = { Art = {
  { type = 'Graphic', texture = 'Art/UI/Textures/tile', states = { 'Normal', 'Hover' } } } } },
{ name = 'label', text = '\$1', position = { 0, 0.4 }, size = { 1, 0.25 }, Presentation = { Art = {
  { type = 'Text', fontname = 'serif_title_64', horzAlign = 'Centre', textColourTop = { 20, 20, 120, 255 },
    textColourBottom = { 20, 20, 120, 255 }, states = { 'Normal', 'Hover' } } } } },
%s} } }
" "$1" "$buttons"
}
# A 2 x 2 uncompressed 24-bit TGA in one colour (blue, green, red), with the 2.0 footer.
texture_bytes() {
    printf '\x00\x00\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x02\x00\x18\x00'
    local i
    for i in 1 2 3 4; do printf "\\x$(printf %02x "$1")\\x$(printf %02x "$2")\\x$(printf %02x "$3")"; done
    printf '\x00\x00\x00\x00\x00\x00\x00\x00TRUEVISION-XFILE.\x00'
}
# A UTF-16 string table with $1.
table_bytes() {
    printf '\xff\xfe'
    printf '1\t%s\r\n' "$1" | iconv -f ASCII -t UTF-16LE
}
# Saves bytes (on stdin) to a file as an editor does: renamed over, or
# rewritten in place.
save() {
    local file="$1" how="$2"
    if [ "$how" = rename ]; then
        cat >"$file.new"
        mv -f "$file.new" "$file"
    else
        cat 1<>"$file"
    fi
}
screen_text 40 >"$data/Art/UI/Screens/Soak.screen"
texture_bytes 40 200 40 >"$data/Art/UI/Textures/tile.tga"
table_bytes "Alpha  " >"$work/Soak/Locale/English/Soak.ucs"

# ---------------------------------------------------------------- the viewer
exec 3< <(exec Xvfb -displayfd 4 -screen 0 1280x1024x24 -nolisten tcp 4>&1 2>/dev/null)
pids+=($!)
read -r -t 10 number <&3 || { echo "Xvfb did not start" >&2; exit 2; }
export DISPLAY=":$number"
runtime="$work/runtime"
mkdir -m 700 "$runtime"
(cd "$work" && HOME="$work/home" XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb exec "$build/bin/tise" "$work") \
    >/dev/null 2>"$work/stderr" &
tise=$!
pids+=("$tise")
window="$(timeout 15 xdotool search --sync --name 'Tavrel Ironveil Screen Editor' | head -n 1)"
eval "$(xdotool getwindowgeometry --shell "$window")"
originX=$X originY=$Y

shot="$work/shot.png"
# The colour (r g b) of the window's pixel at x y now.
pixel() {
    import -window root "$shot" 2>/dev/null
    convert "$shot" -format "%[fx:int(255*p{$((originX + $1)),$((originY + $2))}.r)] %[fx:int(255*p{$((originX + $1)),$((originY + $2))}.g)] %[fx:int(255*p{$((originX + $1)),$((originY + $2))}.b)]" info:
}
# A digest of the window's pixels in the rectangle w x h at x y.
digest() {
    import -window root "$shot" 2>/dev/null
    convert "$shot" -crop "$3x$4+$((originX + $1))+$((originY + $2))" +repage -format '%#' info:
}
# Waits up to 5 seconds for the shell condition to hold.
waitFor() {
    local until=$((SECONDS + 5))
    while [ $SECONDS -lt $until ]; do
        if eval "$1"; then return 0; fi
        sleep 0.1
    done
    return 1
}

xdotool mousemove --window "$window" 60 58 click 1   # the module
sleep 1
xdotool mousemove --window "$window" 100 58 click 1  # its screen
# The screen area: right of the two bands, the whole height of the window.
left=56
width=$((WIDTH - left)) height=$HEIGHT
boxX=$((left + width / 4)) boxY=$((height / 5))
tileX=$((left + width * 3 / 4)) tileY=$((height / 5))
labelX=$left labelY=$((height * 2 / 5)) labelW=$width labelH=$((height / 4))
waitFor '[ "$(pixel $boxX $boxY)" = "40 40 40" ]' || { echo "the screen was not shown" >&2; exit 1; }
memoryAtStart=$(awk '/VmRSS/ { print $2 }' "/proc/$tise/status")

# ---------------------------------------------------------------- the edits
saves=0 reloads=0 missed=0 boxes=0 misses=""
start=$SECONDS
while [ $((SECONDS - start)) -lt "$duration" ] && kill -0 "$tise" 2>/dev/null; do
    how=$([ $((saves % 2)) -eq 0 ] && echo rename || echo inplace)
    value=$(((saves * 37) % 200 + 50))
    case $((saves % 3)) in
    0)
        what="the screen"
        screen_text "$value" | save "$data/Art/UI/Screens/Soak.screen" "$how"
        shown="[ \"\$(pixel $boxX $boxY)\" = \"$value 40 40\" ]"
        ;;
    1)
        what="the texture"
        texture_bytes 40 "$value" 40 | save "$data/Art/UI/Textures/tile.tga" "$how"
        shown="[ \"\$(pixel $tileX $tileY)\" = \"40 $value 40\" ]"
        ;;
    2)
        what="the string table"
        before="$(digest $labelX $labelY $labelW $labelH)"
        table_bytes "$(printf 'Text%03d' "$value")" | save "$work/Soak/Locale/English/Soak.ucs" "$how"
        shown="[ \"\$(digest $labelX $labelY $labelW $labelH)\" != \"$before\" ]"
        ;;
    esac
    saves=$((saves + 1))
    # The pointer over the buttons while the files settle.
    for i in 0 1 2 3 4; do
        xdotool mousemove --window "$window" $((left + width * (i * 2 + 1) / 10)) $((height * 87 / 100))
    done
    if waitFor "$shown"; then
        reloads=$((reloads + 1))
    else
        missed=$((missed + 1))
        misses+="  not shown: save $saves at $((SECONDS - start)) s, $what, $([ "$how" = rename ] && echo renamed over || echo rewritten in place)
"
    fi
    if xdotool search --name "^TISE\$" getwindowname %@ 2>/dev/null | grep -qx TISE; then boxes=$((boxes + 1)); fi
done

died=no
kill -0 "$tise" 2>/dev/null || died=yes
memoryAtEnd=$( [ "$died" = no ] && awk '/VmRSS/ { print $2 }' "/proc/$tise/status" || echo 0)
stderrLines=$(grep -c . "$work/stderr" || true)
echo "soak of $((SECONDS - start)) s: RSS ${memoryAtStart} kB at start, ${memoryAtEnd} kB at end;" \
     "$saves saves, $reloads reloads seen; errors: $missed saves not shown, $boxes message boxes," \
     "$stderrLines lines on stderr, viewer died: $died"
printf '%s' "$misses"
[ "$stderrLines" -gt 0 ] && sed 's/^/  stderr: /' "$work/stderr" | head -20
[ "$missed" -eq 0 ] && [ "$boxes" -eq 0 ] && [ "$stderrLines" -eq 0 ] && [ "$died" = no ]
