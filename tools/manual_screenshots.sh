#!/bin/sh
# Takes the manual's pictures (docs/manual/images/*.png) from the real window
# under Xvfb, in English and in Chinese, with the built-in simulated radio.
# Needs a build (build/), xvfb, xdotool and ImageMagick (and poppler-utils
# for the printed page). The results are
# committed, so the build does not need any of these.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/docs/manual/images"
bin="$here/build"
for tool in xvfb-run xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 1; }
done
[ -x "$bin/zemtra800" ] || { echo "build first: $bin/zemtra800" >&2; exit 1; }
mkdir -p "$out"
# A plain folder name: the status bar shows the file's path.
work=/tmp/zemtra800-manual
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

# A file with a few channels, as a technician prepares one.
"$bin/zemtra800-cli" new -o "$work/base.dat"
cat > "$work/edits.json" <<'JSON'
{"channels": {
  "1": {"rxFrequency": 451.125, "txFrequency": 451.125, "rxCode": "67.0", "txCode": "67.0"},
  "2": {"rxFrequency": 452.250, "txFrequency": 457.250, "rxCode": "D023N", "txCode": "D023N"},
  "3": {"rxFrequency": 460.500, "txFrequency": 460.500},
  "4": {"rxFrequency": 462.5625, "txFrequency": 462.5625, "rxCode": "100.0", "txCode": "100.0"},
  "5": {"rxFrequency": 465.000, "txFrequency": 465.000}}}
JSON
"$bin/zemtra800-cli" apply "$work/base.dat" "$work/edits.json" -o "$work/fleet.dat"

cat > "$work/shoot.sh" <<'SHOT'
#!/bin/sh
set -eu
lang=$1 language=$2 bin=$3 work=$4 out=$5
export XDG_CONFIG_HOME="$work/config-$lang"
mkdir -p "$XDG_CONFIG_HOME/Halvorn"
printf '[CHANNEL_DEFAULT]\nLANGUAGE=%s\n' "$language" > "$XDG_CONFIG_HOME/Halvorn/ZEMTRA800.ini"
cd "$work"
"$bin/zemtra800" --simulate --no-splash fleet.dat &
app=$!
window=""
for _ in $(seq 50); do
    window=$(xdotool search --onlyvisible --name 'ZEMTRA800' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { echo "no window" >&2; kill $app; exit 1; }
sleep 1
shot() { sleep 0.8; import -window root "$work/full.png"; convert "$work/full.png" -trim +repage "$out/$1-$lang.png"; }
# No window manager: give the window the keyboard directly.
focus() { xdotool windowfocus --sync "$window" 2>/dev/null || true; }
focus
xdotool mousemove 900 700
shot main
# Setup -> Communication Port
xdotool key alt+s; sleep 0.4; xdotool key p; shot port
xdotool key Escape; sleep 0.4
# Setup -> Check Connection..., the third entry; Return presses Probe once
# the report is in.
focus
xdotool key alt+s; sleep 0.4; xdotool key Down Down Return; sleep 1.5
xdotool key Return; sleep 1.5; shot check
xdotool key Escape; sleep 0.4
# The channel editor: double-click channel 2.
xdotool mousemove --window "$window" 80 225 click --repeat 2 --delay 80 1; shot channel
xdotool key Escape; sleep 0.4
# Channels 3 to 5 selected (a click, then Shift+click), with the Edit menu.
focus
xdotool mousemove --window "$window" 80 225 click 1
xdotool keydown shift mousemove --window "$window" 80 283 click 1 keyup shift
xdotool key alt+e; shot range
xdotool key Escape; sleep 0.4
# File -> Export PDF into the suggested fleet.pdf; its first page as a picture.
if command -v pdftoppm >/dev/null; then
    focus
    xdotool key alt+f; sleep 0.4; xdotool key d; sleep 1.5; xdotool key Return; sleep 2
    pdftoppm -png -r 70 -f 1 -l 1 -singlefile "$work/fleet.pdf" "$work/page"
    convert "$work/page.png" -bordercolor '#bbbbbb' -border 1 "$out/printout-$lang.png"
    rm -f "$work/fleet.pdf"
fi
# Tool -> Compare With Radio: the simulated radio holds a new document's memory.
focus
xdotool key alt+t; sleep 0.4; xdotool key Down Down Down Return; sleep 2.5; shot compare
xdotool key Escape; sleep 0.4
# Read from the radio, with the trace window (Ctrl+D) open.
focus
xdotool key ctrl+d; sleep 0.6
focus
xdotool key r; sleep 0.25; shot reading
sleep 3
xdotool key Return; sleep 0.3
kill $app 2>/dev/null || true
wait $app 2>/dev/null || true
SHOT
chmod +x "$work/shoot.sh"
xvfb-run -a -s "-screen 0 1024x768x24" "$work/shoot.sh" en 0 "$bin" "$work" "$out"
xvfb-run -a -s "-screen 0 1024x768x24" "$work/shoot.sh" zh 1 "$bin" "$work" "$out"
ls -l "$out"
