#!/usr/bin/env bash
# Qt for Windows, built once per machine from Debian's own qt6-base source (the
# version the host's Qt has) with the MinGW-w64 cross compilers, into a cache outside
# the tree:
#   ${BEAMLET_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/beamlet}/qt-<version>-mingw64-<key>/
# <key> is a hash of everything that decides what is built: the configuration
# below, the toolchain file, the compiler's and the MinGW headers' versions and the
# source's version, so a change to any of them builds a new Qt beside the old one.
# A finished build is reused as it is.
#
# Prints the prefix (for CMAKE_PREFIX_PATH / QT_DIR) as its only line on standard
# output; progress and the figures of a build go to standard error. The sources
# fetched stay in the cache (they are the Qt source the Windows program was built
# from); the build tree goes once Qt is installed, unless BEAMLET_QT_KEEP_BUILD=1.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=../packages.sh
source "$here/scripts/packages.sh"
toolchain="$here/scripts/windows/toolchain-mingw64.cmake"
jobs=$(nproc 2>/dev/null || echo 2)

# dpkg-dev unpacks the source; perl runs this Qt's syncqt; the host's Qt gives moc,
# rcc, uic and its CMake files (QT_HOST_PATH).
install_missing g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev cmake ninja-build dpkg-dev perl xz-utils \
  qt6-base-dev qt6-base-dev-tools

version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
upstream=${version%%+*}
upstream=${upstream%%-*}
# Everything Qt is configured with. Only what the program uses is built: Core, Gui,
# Widgets and the Windows platform plugin, with the JPEG plugin for the emoticons
# (PNG is built into Gui). Libraries Qt carries in src/3rdparty are used, none of
# the system's, so nothing of the host leaks in.
# tabletevent: Debian's source leaves out src/3rdparty/wintab, which the Windows
# plugin's tablet support includes. dynamicgl: with OpenGL off, qwindowswindow.cpp
# compiles only without it.
# Static: the program is one file with no Qt or MinGW runtime DLLs beside it
# (-static when it links); -ffunction-sections lets its link drop what it never calls.
configure_options=(
  -DCMAKE_BUILD_TYPE=Release
  -DBUILD_SHARED_LIBS=OFF
  "-DCMAKE_C_FLAGS=-ffunction-sections -fdata-sections"
  "-DCMAKE_CXX_FLAGS=-ffunction-sections -fdata-sections"
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF -DFEATURE_testlib=OFF
  -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_tabletevent=OFF
  -DFEATURE_pdf=OFF -DFEATURE_textodfwriter=OFF -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF
  -DFEATURE_gif=OFF -DFEATURE_ico=OFF -DFEATURE_jpeg=ON
  -DFEATURE_zstd=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF -DFEATURE_androiddeployqt=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF
)
compiler=$(x86_64-w64-mingw32-g++-posix -dumpfullversion)
headers=$(dpkg-query -W -f='${Version}' mingw-w64-x86-64-dev)
# Bump when the way Qt is built changes in a way the lines above do not show.
recipe=1
key=$({
  printf '%s\n' "${configure_options[@]}"
  cat "$toolchain"
  echo "$compiler $headers $version $recipe"
} | sha256sum | cut -c1-12)

cache_root="${BEAMLET_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/beamlet}"
prefix="$cache_root/qt-$upstream-mingw64-$key"
mkdir -p "$cache_root"
# One build at a time per cache; a second caller waits and then finds it done.
exec 9>"$cache_root/.lock"
flock 9

if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

echo "Building Qt $upstream for Windows into $prefix (once per machine; about 40 minutes on two cores)" >&2
downloads="$cache_root/source/qt6-base-$version"
if [ ! -f "$downloads/.complete" ]; then
  # apt-get source through a private sources list, state and cache: the system's
  # apt configuration is neither read for sources nor changed. The deb-src entries
  # are the system's own Debian entries, so a machine set to a mirror uses it.
  apt_dir="$cache_root/source/apt"
  rm -rf "$apt_dir" "$downloads"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts" "$downloads"
  {
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] && awk 'BEGIN { RS = ""; ORS = "\n\n" }
        /debian-archive-keyring|\/debian/ && !/Enabled: no/ { sub(/Types: [^\n]*/, "Types: deb-src"); print }' "$f"
    done
  } >"$apt_dir/debian-src.sources"
  {
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -f "$f" ] && sed -n 's/^deb \(.*\/debian.*\)$/deb-src \1/p' "$f"
    done
  } >"$apt_dir/debian-src.list"
  apt_options=(-o Dir::Etc::SourceList="$apt_dir/debian-src.list" -o Dir::Etc::SourceParts="$apt_dir/parts"
    -o Dir::State="$apt_dir" -o Dir::Cache="$apt_dir/cache" -o APT::Sandbox::User="$(id -un)")
  cp "$apt_dir/debian-src.sources" "$apt_dir/parts/"
  apt-get "${apt_options[@]}" update -qq >&2
  (cd "$downloads" && apt-get "${apt_options[@]}" source --download-only "qt6-base=$version" >&2)
  touch "$downloads/.complete"
fi

work="$cache_root/work-$key"
rm -rf "$work"
mkdir -p "$work"
dpkg-source --no-check -x "$downloads"/qt6-base_*.dsc "$work/src" >/dev/null
started=$(date +%s)
TIMEFORMAT='%R s wall, %U s user, %S s system'
exec 8>&2
{
  time {
    cmake -S "$work/src" -B "$work/build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
      -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
      "${configure_options[@]}" >"$work/configure.log" 2>&1 ||
      { tail -40 "$work/configure.log" >&8; exit 1; }
    cmake --build "$work/build" -j "$jobs" >"$work/build.log" 2>&1 ||
      { grep -B2 -A20 -m3 'FAILED\|error:' "$work/build.log" >&8; exit 1; }
    rm -rf "$prefix"
    cmake --install "$work/build" >"$work/install.log" 2>&1
  }
} 2>"$work/time.txt"
echo "Qt for Windows built in $(($(date +%s) - started)) s ($(cat "$work/time.txt")); build tree $(du -sm "$work" | cut -f1) MB, installed $(du -sm "$prefix" | cut -f1) MB" | tee "$prefix/build-figures.txt" >&2
cp "$work/configure.log" "$prefix/configure.log"
touch "$prefix/.complete"
[ "${BEAMLET_QT_KEEP_BUILD:-0}" = 1 ] || rm -rf "$work"
echo "$prefix"
