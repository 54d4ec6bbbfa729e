#!/usr/bin/env bash
# Started where no X display can be opened, the program says so in one line on
# stderr and exits with status 1: no Qt plugin messages, no abort, no core file,
# and no falling back to Wayland whatever the environment asks for.
# usage: without_x_display.sh PATH-TO-BEAMLET
set -u
beamlet=$(readlink -f "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
# A core dump, were the program to abort, lands here when the kernel writes plain files.
ulimit -c unlimited 2>/dev/null

# A display number nobody serves.
free_display=
for n in $(seq 4242 4342); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then free_display=":$n"; break; fi
done
[ -n "$free_display" ] || { echo "no free display number"; exit 1; }

failures=0
check() {  # NAME VAR=VALUE...
  local name=$1; shift
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" "$beamlet" >out 2>err </dev/null
  local status=$? problems=()
  [ "$status" -eq 1 ] || problems+=("exit status $status, wanted 1")
  [ "$(wc -l <err)" -eq 1 ] || problems+=("$(wc -l <err) lines on stderr, wanted 1")
  grep -q '^beamlet: .*X11 session' err || problems+=("stderr does not name the X11 session it needs")
  [ -s out ] && problems+=("wrote to stdout")
  compgen -G 'core*' >/dev/null && problems+=("left a core file")
  if [ ${#problems[@]} -eq 0 ]; then
    echo "ok: $name: $(cat err)"
  else
    failures=$((failures + 1))
    echo "FAIL: $name: ${problems[*]}"
    sed 's/^/    stderr: /' err
  fi
  rm -f out err core*
}

check "no display at all"
check "only a Wayland display" WAYLAND_DISPLAY=wayland-0
check "only a Wayland display, Wayland platform asked for" WAYLAND_DISPLAY=wayland-0 QT_QPA_PLATFORM=wayland
check "an X display nobody serves" DISPLAY="$free_display"
check "an X display nobody serves, beside a Wayland one" DISPLAY="$free_display" WAYLAND_DISPLAY=wayland-0 \
  QT_QPA_PLATFORM=wayland
exit $((failures > 0))
