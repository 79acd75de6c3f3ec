#!/usr/bin/env bash
# The lint CI runs: every C++ file formatted as .clang-format says, clang-tidy's checks
# (.clang-tidy) on the game's sources, and shellcheck on every shell script.
# Usage: tools/lint.sh [build directory with compile_commands.json, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
status=0

echo "== clang-format"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror || status=1

echo "== shellcheck"
mapfile -t scripts < <({ git ls-files '*.sh' && git grep -l -I '^#!.*sh' -- ':!*.sh'; } | sort -u)
shellcheck -x "${scripts[@]}" || status=1

echo "== clang-tidy"
# Compiler warnings are the -Werror build's to report (clang's set differs from g++'s). The
# Windows files are not in a Linux build's database: the -Werror MinGW build checks them.
[[ -f "$build/compile_commands.json" ]] ||
    { echo "lint.sh: no $build/compile_commands.json; configure a build first" >&2; exit 2; }
# The page's Emscripten-only sources (src/web/web*.cpp) are in no native compile commands
# either; the page's build compiles them with the same warnings, as errors in CI.
git ls-files -z 'src/*.cpp' ':!:src/web/web*.cpp' ':!:src/*_windows.cpp' |
    xargs -0 -n 4 -P "$(nproc)" clang-tidy -p "$build" --quiet --extra-arg=-Wno-error 2>/dev/null ||
    status=1

exit "$status"
