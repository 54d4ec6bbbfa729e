#!/usr/bin/env bash
# One entry point for a fresh Debian machine:
#   scripts/dev.sh run    install what is missing, build, start the program
#   scripts/dev.sh test   install what is missing, build, run every test: Linux's,
#                         then the Windows program's under Wine
#   scripts/dev.sh package  install what is missing, build the Debian package
#   scripts/dev.sh windows  install what is missing, build the Windows program
#                           (build-windows/beamlet.exe and beamlet.com), building
#                           Qt for Windows first when it is not in the cache yet,
#                           and its installer and zip (build-windows/beamlet-*-win64*);
#                           further arguments go to CMake, and $BEAMLET_WINDOWS_TARGETS
#                           names other targets than all and installer
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${BEAMLET_BUILD_DIR:-$here/build}"
asan_build="${BEAMLET_ASAN_BUILD_DIR:-$here/build-asan}"
windows_build="${BEAMLET_WINDOWS_BUILD_DIR:-$here/build-windows}"
jobs=$(nproc 2>/dev/null || echo 2)

runtime_packages=(cmake g++ make dpkg-dev qt6-base-dev libxcb1-dev libpulse-dev qt6-image-formats-plugins)
test_packages=(xvfb openbox xdotool xclip x11-utils pulseaudio pulseaudio-utils imagemagick xcompmgr hsetroot
  python3 desktop-file-utils appstream valgrind weston xwayland wl-clipboard lintian wmctrl
  at-spi2-core python3-pyatspi orca diffoscope-minimal clang-format)
# The cross compilers; this machine's Qt gives moc, rcc and uic and builds the
# build's own tools. scripts/windows/build-qt.sh installs what Qt's build needs.
# NSIS makes the installer, Python the zip.
windows_packages=(cmake g++ ninja-build qt6-base-dev g++-mingw-w64-x86-64-posix nsis python3)
# The Windows program's tests run it under Wine on the same desktops; they carry
# these labels and run once the Windows build is there.
wine_packages=(wine wine64)
windows_labels='windows|wine'

# shellcheck source=packages.sh
source "$here/scripts/packages.sh"

configure_and_build() {
  local dir=$1; shift
  cmake -S "$here" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

# The Windows program, its console companion, installer and zip, with the Qt for
# Windows installed at $1.
build_windows() {
  local qt=$1; shift
  local targets
  read -ra targets <<<"${BEAMLET_WINDOWS_TARGETS:-all installer}"
  cmake -S "$here" -B "$windows_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$here/scripts/windows/toolchain-mingw64.cmake" \
    -DCMAKE_PREFIX_PATH="$qt" -DCMAKE_FIND_ROOT_PATH="$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "$@" >/dev/null
  cmake --build "$windows_build" -j "$jobs" --target "${targets[@]}"
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
    install_missing "${runtime_packages[@]}" "${test_packages[@]}" "${windows_packages[@]}" "${wine_packages[@]}"
    # Qt for Windows takes half an hour the first time on two cores: it is built
    # (or found in the cache) while the Linux tests run, which mostly wait on the
    # desktop they drive.
    # A failing Linux leg ends it too (in its own process group, compilers and all);
    # what it finished stays in the cache for the next run.
    mkdir -p "$build"
    qt_log="$build/qt-for-windows.log"
    setsid nice -n 10 "$here/scripts/windows/build-qt.sh" >"$build/qt-for-windows.prefix" 2>"$qt_log" &
    qt_builder=$!
    trap 'kill -- -"$qt_builder" 2>/dev/null || true' EXIT
    configure_and_build "$build" -DBEAMLET_WINDOWS_BUILD_DIR="$windows_build"
    ctest --test-dir "$build" --output-on-failure -j "$jobs" -LE "$windows_labels"
    sanitizer_tests
    if ! wait "$qt_builder"; then
      tail -n 40 "$qt_log" >&2
      echo "Qt for Windows did not build (whole log: $qt_log)" >&2
      exit 1
    fi
    build_windows "$(cat "$build/qt-for-windows.prefix")"
    ctest --test-dir "$build" --output-on-failure -j "$jobs" -L "$windows_labels"
    ;;
  windows)
    shift
    install_missing "${windows_packages[@]}"
    build_windows "$("$here/scripts/windows/build-qt.sh")" "$@"
    ;;
  *)
    echo "usage: $0 run|test|package|windows" >&2
    exit 2
    ;;
esac
