#!/usr/bin/env bash
# Every C++ file of the tree is in the house style (.clang-format): a file that
# Debian's clang-format would change fails here, with the lines it would change.
# The generated catalogue data keeps its generator's layout. Skipped (77) where
# clang-format is not installed. Apply the style as CONTRIBUTING.md says.
set -euo pipefail
source_dir=$1
command -v clang-format >/dev/null || { echo "clang-format is not installed: the style is not checked"; exit 77; }
cd "$source_dir"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h' ':!src/core/CatalogueData.cpp')
else  # a source tree without its history
  mapfile -t files < <(find src tests tools bench -name '*.cpp' -o -name '*.h' | grep -v '^src/core/CatalogueData.cpp$' | sort)
fi
[ "${#files[@]}" -gt 0 ] || { echo "no C++ files found in $source_dir"; exit 1; }
clang-format --dry-run --Werror "${files[@]}"
echo "${#files[@]} files in the house style"
