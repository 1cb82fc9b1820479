#!/usr/bin/env bash
# Lays out a suite tree from a build folder, as the suite's installer would:
#   SUITE/bin/                                   demo host, plug-in, host and winport libraries
#   SUITE/Module/QualityControl/1/QualityControl/ the Quality Control module
# Files are copied, not linked: the host finds the module from its own real
# folder. usage: make-suite.sh BUILD_DIR SUITE_DIR
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 BUILD_DIR SUITE_DIR" >&2; exit 2; }
BUILD=$(cd "$1" && pwd)
SUITE=$2
MODULE_DIR=Module/QualityControl/1/QualityControl

fresh_dir() { rm -rf "$1"; mkdir -p "$1"; }

lay_out_bin() {
    fresh_dir "$SUITE/bin"
    cp "$BUILD/bin/zubhost" "$BUILD/bin/ZubQualityControlProxy64d.so" "$SUITE/bin/"
    cp "$BUILD"/bin/lib*.so "$SUITE/bin/"
}

lay_out_module() {
    fresh_dir "$SUITE/$MODULE_DIR"
    cp "$BUILD/$MODULE_DIR/ZubQualityControl64d.dll" "$SUITE/$MODULE_DIR/"
}

lay_out_bin
lay_out_module
echo "$SUITE"
