#!/usr/bin/env bash
# One entry point for a fresh Debian machine:
#   scripts/dev.sh run    install what is missing, build, start the program
#   scripts/dev.sh test   install what is missing, build, run every test
#   scripts/dev.sh package  install what is missing, build the Debian package
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${BEAMLET_BUILD_DIR:-$here/build}"
asan_build="${BEAMLET_ASAN_BUILD_DIR:-$here/build-asan}"
jobs=$(nproc 2>/dev/null || echo 2)

runtime_packages=(cmake g++ make dpkg-dev qt6-base-dev libxcb1-dev libpulse-dev qt6-image-formats-plugins)
test_packages=(xvfb openbox xdotool xclip x11-utils pulseaudio pulseaudio-utils imagemagick xcompmgr hsetroot
  python3 desktop-file-utils appstream valgrind weston xwayland wl-clipboard lintian wmctrl
  at-spi2-core python3-pyatspi orca diffoscope-minimal)

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

# Every test again in an AddressSanitizer + UndefinedBehaviorSanitizer build; any
# report fails its test. Leaks are checked too, with suppressions only for caches
# that system libraries keep for the life of the process (tests/sanitizers/lsan.supp).
# The end-to-end tests (label e2e) stay out: they time the real program on a clock.
sanitizer_tests() {
  configure_and_build "$asan_build" -DBEAMLET_SANITIZE=ON
  ASAN_OPTIONS="${ASAN_OPTIONS:-halt_on_error=1:abort_on_error=0:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1:strict_init_order=1}" \
  UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}" \
  LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$here/tests/sanitizers/lsan.supp:print_suppressions=0}" \
    ctest --test-dir "$asan_build" --output-on-failure -j "$jobs" -LE e2e
}

case "${1:-}" in
  run)
    install_missing "${runtime_packages[@]}"
    configure_and_build "$build"
    exec "$build/beamlet"
    ;;
  package)
    install_missing "${runtime_packages[@]}"
    configure_and_build "${BEAMLET_PACKAGE_BUILD_DIR:-$here/build-package}" -DCMAKE_BUILD_TYPE=Release -DBEAMLET_TESTS=OFF
    (cd "${BEAMLET_PACKAGE_BUILD_DIR:-$here/build-package}" && cpack -G DEB)
    ;;
  test)
    install_missing "${runtime_packages[@]}" "${test_packages[@]}"
    configure_and_build "$build"
    ctest --test-dir "$build" --output-on-failure -j "$jobs"
    sanitizer_tests
    ;;
  *)
    echo "usage: $0 run|test|package" >&2
    exit 2
    ;;
esac
