#!/usr/bin/env bash
# Takes the README's screenshots: starts the program on a private Xvfb with openbox,
# opens each panel and the mini window with xdotool, and crops each window.
#   scripts/screenshots.sh [path/to/beamlet] [output folder]
# Given the Windows program (beamlet.exe), runs it under Wine in a prefix of its own.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exe=${1:-$here/build/beamlet}
out=${2:-$here/docs/screenshots}
mkdir -p "$out"
work=$(mktemp -d)
run=("$work/beamlet")
if [[ $exe == *.exe ]]; then
  run=(wine "$work/beamlet.exe")
  cp "$exe" "$work/beamlet.exe"
  export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
else
  cp "$exe" "$work/beamlet"
fi

# Xvfb writes its display number once it accepts clients. Only this script's own
# X server is stopped at the end, never another session's.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$! app="" wm=""
trap 'kill $app $wm $xvfb 2>/dev/null; [ -z "${WINEPREFIX:-}" ] || wineserver -k; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n 1 "$work/display")
openbox >/dev/null 2>&1 &
wm=$!
sleep 1
[ -z "${WINEPREFIX:-}" ] || wine wineboot -i >/dev/null 2>&1
HOME=$work XDG_CACHE_HOME=$work/cache "${run[@]}" >/dev/null 2>&1 &
app=$!
for _ in $(seq 300); do xdotool search --onlyvisible --name "Orvane Facebook Beamlet" >/dev/null 2>&1 && break; sleep 0.1; done
sleep 1

X=238 Y=256
click() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; }
shot() { import -window root -crop "$1" +repage "$out/$2.png"; }
main=803x525+$X+$Y

click 300 200; xdotool type --delay 40 "Hi there!"; xdotool mousemove 5 5; sleep 0.5
shot "$main" main
click 100 320; sleep 0.6; xdotool mousemove 5 5; sleep 0.2; shot "$main" about
click 512 240; sleep 0.6
click 100 365; sleep 0.6; xdotool mousemove 5 5; sleep 0.2; shot "$main" contact
click 512 241; sleep 0.6
click 470 136; sleep 0.8
click $((88 + 8 + 40 * 2 + 16)) $((176 + 24 + 8 + 40 + 16)); sleep 0.8; xdotool mousemove 5 5; sleep 0.2
shot "$main" emotions
# The pack took the focus to its first tile; the arrows move it to tile 18.
xdotool key Right Right Down; sleep 0.3
shot 633x321+$((X + 88))+$((Y + 176)) keyboard
shot 328x152+945+840 notification
click 600 256; sleep 0.8
click 712 15; sleep 1; xdotool mousemove 5 5; sleep 0.3
shot 767x102+262+824 mini
echo "screenshots in $out"
