#!/usr/bin/env bash
# The same set-up as ./run.sh, then the whole test suite, headless.
# Extra arguments go to ctest (for example: ./test.sh -L unit, or -LE full-run).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cd build
# Tests that need a display start their own Xvfb; the rest never see one.
unset DISPLAY WAYLAND_DISPLAY
ctest --output-on-failure -j2 --timeout 600 "$@"
