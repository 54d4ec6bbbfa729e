#!/usr/bin/env bash
# One entry point for a fresh Debian machine:
#   scripts/dev.sh run    install what is missing, build, start the program
#   scripts/dev.sh test   install what is missing, build, run every test
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${BEAMLET_BUILD_DIR:-$here/build}"
jobs=$(nproc 2>/dev/null || echo 2)

runtime_packages=(cmake g++ make qt6-base-dev qt6-multimedia-dev qt6-image-formats-plugins
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good)
test_packages=(xvfb openbox xdotool xclip x11-utils pulseaudio pulseaudio-utils imagemagick
  python3 desktop-file-utils appstream valgrind)

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo=(sudo)
    else
      echo "These Debian packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
      echo "Install them as an administrator (apt-get install ${missing[*]}) and run this again." >&2
      exit 1
    fi
  fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

configure_and_build() {
  local dir=$1; shift
  cmake -S "$here" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

case "${1:-}" in
  run)
    install_missing "${runtime_packages[@]}"
    configure_and_build "$build"
    exec "$build/beamlet"
    ;;
  test)
    install_missing "${runtime_packages[@]}" "${test_packages[@]}"
    configure_and_build "$build"
    ctest --test-dir "$build" --output-on-failure -j "$jobs"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
