#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the layout a desktop expects.
set -euo pipefail
build=$1
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/beamlet share/applications/org.orvane.Beamlet.desktop \
         share/metainfo/org.orvane.Beamlet.metainfo.xml \
         share/icons/hicolor/48x48/apps/org.orvane.Beamlet.png \
         share/icons/hicolor/256x256/apps/org.orvane.Beamlet.png; do
  [ -f "$prefix/$f" ] || { echo "missing: $f"; exit 1; }
done
# The sound module, loaded from <libdir>/beamlet beside the installed program.
[ -n "$(find "$prefix" -path '*/beamlet/beamlet_sound.so')" ] || { echo "missing: the sound module"; exit 1; }
[ -x "$prefix/bin/beamlet" ] || { echo "beamlet is not executable"; exit 1; }
desktop-file-validate "$prefix/share/applications/org.orvane.Beamlet.desktop"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.orvane.Beamlet.metainfo.xml"
echo "install layout: ok"
