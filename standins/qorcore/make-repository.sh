#!/usr/bin/env bash
# Turns an installed suite (cmake --install, components suite and demo) into
# one whose stand-in core runs in local repository mode and offers the package
# in SUITE/packages as Quality Control VERSION over the installed INSTALLED:
#   SUITE/qor/qorcore.scenario.json, SUITE/packages/qc.json,
#   the module's recorded version, and SUITE/qor.reg (the registry text
#   naming SUITE/qor; WINPORT_REGISTRY or `wine reg import` takes it).
# With --windows the paths written are Windows paths (Z:\...), as a Windows
# program under Wine reads them.
# usage: make-repository.sh [--windows] SUITE_DIR VERSION PACE_MS INSTALLED
set -euo pipefail
windows=false
[ "${1:-}" = --windows ] && { windows=true; shift; }
[ $# -eq 4 ] || { echo "usage: $0 [--windows] SUITE_DIR VERSION PACE_MS INSTALLED" >&2; exit 2; }
SUITE=$(cd "$1" && pwd)
VERSION=$2
PACE=$3
INSTALLED=$4
MODULES=$SUITE/Module/QualityControl/1/QualityControl
FILE=ZubQualityControl64d.dll
for needed in "$SUITE/qor/x64/qorcore.dll" "$SUITE/packages/$FILE" "$MODULES/$FILE"; do
    [ -f "$needed" ] || { echo "$0: $needed is missing: install the suite and demo components" >&2; exit 1; }
done

# A path as the core reads it, escaped for a JSON or .reg string.
quoted() {
    if $windows; then
        local path=Z:$1
        path=${path//\//\\}
        printf '%s' "${path//\\/\\\\}"
    else
        printf '%s' "$1"
    fi
}

echo "$INSTALLED" > "$MODULES/$FILE.version"
cat > "$SUITE/packages/qc.json" <<JSON
{ "appname": "Mirn6_QualityControl", "version": "$VERSION", "bits": 64,
  "title": "Quality Control", "desc": "Quality Control $VERSION", "file": "$FILE" }
JSON
cat > "$SUITE/qor/qorcore.scenario.json" <<JSON
{ "repository": { "packages": "$(quoted "$SUITE/packages")", "modules": "$(quoted "$MODULES")",
                  "paceMs": $PACE, "chunkBytes": 4096 } }
JSON
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trevik\\QOR\\2.0]\n"Path"="%s"\n' \
    "$(quoted "$SUITE/qor")" > "$SUITE/qor.reg"
echo "$SUITE/qor.reg"
