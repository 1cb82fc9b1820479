#!/usr/bin/env bash
# Runs the ctest suites of a MinGW build under Wine, in a prefix of the build's
# own, with the Chinese code page of the suite's users.
# usage: run-tests.sh BUILD_DIR [ctest arguments...]
set -euo pipefail
BUILD=$(realpath "$1"); shift

# shellcheck source=prefix.sh
. "$(dirname "$0")/prefix.sh"
wine_prefix "$BUILD/wineprefix"
unset DISPLAY
# Qt's environment reaches Windows programs as WINEQT_*: the offscreen
# platform, which draws text only with fonts named to it.
export WINEQT_QPA_PLATFORM=offscreen
WINEQT_QPA_FONTDIR=$(wine_path /usr/share/fonts/truetype/wqy)
export WINEQT_QPA_FONTDIR

# One test at a time: on Windows the registry and named kernel objects are the
# machine's, so tests that install registry keys would meet each other.
# A selection that matches no test fails.
ctest --test-dir "$BUILD" --output-on-failure --no-tests=error --timeout 300 "$@"
