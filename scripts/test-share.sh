#!/usr/bin/env bash
# Prints the lines of C++ in the tests (tests/ less tests/bench/) against the rest of the tree.
set -euo pipefail
cd "$(dirname "$0")/.."
tests=$(git ls-files 'tests/*.cpp' 'tests/*.h' 'tests/*.c' | grep -v '^tests/bench/' | xargs cat | wc -l)
code=$(git ls-files '*.cpp' '*.h' '*.c' | grep -v '^tests/' | xargs cat | wc -l)
echo "tests: $tests lines, code: $code lines, tests are $((100 * tests / code)) % of the code"
