#!/usr/bin/env bash
# Lays out, beside a suite made by make-suite.sh, a platform install whose
# stand-in core runs in local repository mode and offers a Quality Control
# module as a newer package:
#   SUITE/qor/x64/qorcore.dll, SUITE/qor/qorcore.scenario.json
#   SUITE/packages/ZubQualityControl64d.dll + qc.json (version VERSION)
#   SUITE/qor.reg (the registry text naming SUITE/qor; WINPORT_REGISTRY takes it)
# PACKAGE defaults to the suite's own module offered again; the installed
# module is recorded as INSTALLED unless a version is recorded already.
# usage: make-repository.sh BUILD_DIR SUITE_DIR [VERSION [PACE_MS [PACKAGE [INSTALLED]]]]
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 BUILD_DIR SUITE_DIR [VERSION [PACE_MS [PACKAGE [INSTALLED]]]]" >&2; exit 2; }
BUILD=$(cd "$1" && pwd)
SUITE=$(cd "$2" && pwd)
VERSION=${3:-6.2.2.0}
PACE=${4:-40}
MODULES=$SUITE/Module/QualityControl/1/QualityControl
FILE=ZubQualityControl64d.dll
PACKAGE=${5:-$MODULES/$FILE}
INSTALLED=${6:-6.2.1.0}

mkdir -p "$SUITE/qor/x64" "$SUITE/packages"
cp "$BUILD/qor/x64/qorcore.dll" "$SUITE/qor/x64/"
cp "$PACKAGE" "$SUITE/packages/$FILE"
[ -f "$MODULES/$FILE.version" ] || echo "$INSTALLED" > "$MODULES/$FILE.version"

cat > "$SUITE/packages/qc.json" <<JSON
{ "appname": "Mirn6_QualityControl", "version": "$VERSION", "bits": 64,
  "title": "Quality Control", "desc": "Quality Control $VERSION", "file": "$FILE" }
JSON
cat > "$SUITE/qor/qorcore.scenario.json" <<JSON
{ "repository": { "packages": "$SUITE/packages", "modules": "$MODULES",
                  "paceMs": $PACE, "chunkBytes": 4096 } }
JSON
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trevik\\QOR\\2.0]\n"Path"="%s"\n' "$SUITE/qor" > "$SUITE/qor.reg"
echo "$SUITE/qor.reg"
