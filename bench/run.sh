#!/usr/bin/env bash
# Builds the benchmarks (Release, in build-bench/) and runs them all on a private
# X server. Extra arguments go to run_bench.py, e.g. --only start,typing --runs 31.
# Exit status: 0 all targets met, 1 a target missed, 2 the benchmark could not run.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-bench"
jobs="${BEAMLET_BENCH_JOBS:-2}"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBEAMLET_BENCH=ON -DBEAMLET_TESTS=OFF >/dev/null
cmake --build "$build" --target beamlet_start bare_window text_window beamlet_bench -j "$jobs"
exec python3 "$root/bench/run_bench.py" --bin "$build/bench" "$@"
