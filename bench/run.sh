#!/usr/bin/env bash
# Builds the benchmarks (Release, in build-bench/) and runs them all on a private
# X server. Extra arguments go to run_bench.py, e.g. --only start,typing --runs 31.
#   bench/run.sh --windows [...]  builds the Windows program and its references
#                                 (in build-bench-windows/, as scripts/dev.sh windows
#                                 does) and measures their start under Wine
# Exit status: 0 all targets met, 1 a target missed, 2 the benchmark could not run.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="${BEAMLET_BENCH_JOBS:-2}"

if [[ "${1:-}" == --windows ]]; then
  shift
  build="$root/build-bench-windows"
  # The programs alone: the bench needs no installer.
  BEAMLET_WINDOWS_BUILD_DIR="$build" BEAMLET_WINDOWS_TARGETS="beamlet bare_window text_window" \
    "$root/scripts/dev.sh" windows -DBEAMLET_BENCH=ON
  exec python3 "$root/bench/run_bench.py" --windows --bin "$build" "$@"
fi

build="$root/build-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBEAMLET_BENCH=ON -DBEAMLET_TESTS=OFF >/dev/null
cmake --build "$build" --target beamlet_start bare_window text_window beamlet_bench -j "$jobs"
exec python3 "$root/bench/run_bench.py" --bin "$build/bench" "$@"
