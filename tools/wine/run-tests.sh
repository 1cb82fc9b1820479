#!/usr/bin/env bash
# Runs the ctest suites of a MinGW build under Wine, in a prefix of the build's
# own, with the Chinese code page of the suite's users.
# usage: run-tests.sh BUILD_DIR [ctest arguments...]
set -euo pipefail
BUILD=$(realpath "$1"); shift

export WINEPREFIX=$BUILD/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=zh_CN.UTF-8
unset DISPLAY WAYLAND_DISPLAY

# A fresh prefix each run: no registry keys or files left by an earlier one.
wineserver -k </dev/null >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
# The server and the services that wineboot starts keep the standard streams
# they were given; on a pipe they would hold up whoever reads it.
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT
wineboot -i </dev/null >/dev/null 2>&1

# One test at a time: on Windows the registry and named kernel objects are the
# machine's, so tests that install registry keys would meet each other.
ctest --test-dir "$BUILD" --output-on-failure --timeout 300 "$@"
