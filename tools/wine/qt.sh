#!/usr/bin/env bash
# Qt 5 (qtbase) for MinGW-w64, cross-built from Debian's own source package.
# The installed prefix is cached outside the clone, keyed by the source version
# and the configure line, so a fresh clone on the same machine reuses it and a
# fresh machine builds it once (about 20 minutes on 2 cores).
# usage: qt.sh        prints the prefix on standard output, building it if needed
set -euo pipefail

CACHE=${XDG_CACHE_HOME:-$HOME/.cache}/zub-mingw
CONFIGURE=(-platform linux-g++ -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32-
    -release -shared -opensource -confirm-license -nomake examples -nomake tests
    -no-opengl -no-dbus -no-icu -no-openssl -no-direct2d -no-vulkan -qt-zlib -qt-libpng -qt-pcre
    -qt-freetype -qt-harfbuzz -no-libjpeg -no-sql-odbc -no-sql-sqlite -no-sql-psql -no-sql-mysql
    -no-sql-ibase -no-sql-oci -no-sql-db2 -no-sql-tds -no-sql-sqlite2 -no-feature-sql
    -no-feature-network -no-feature-xml -no-feature-concurrent -no-feature-printer
    -no-feature-tabletevent)

# shellcheck source=tools/wine/debian-source.sh
. "$(dirname "$0")/debian-source.sh"

log() { printf '== %s\n' "$*" >&2; }
die() { log "$*"; exit 1; }

command -v x86_64-w64-mingw32-g++-posix >/dev/null || die "MinGW-w64 (posix threads) is not installed: run ./dev wine"

# The version Debian offers now (its Qt libraries and qtbase's source share
# it); the key changes when Debian's source does.
version=$(apt-cache policy libqt5core5a 2>/dev/null | sed -n 's/^ *Candidate: //p' || true)
[ -n "$version" ] || die "cannot tell which qtbase source version to build"
key=$(printf '%s\n' "$version" "${CONFIGURE[@]}" | sha256sum | cut -c1-12)
PREFIX=$CACHE/qt5-$key

# What the project builds against and ships: a prefix lacking one is no Qt to use.
NEEDED=(bin/Qt5Core.dll bin/Qt5Gui.dll bin/Qt5Widgets.dll bin/Qt5Test.dll bin/moc
        plugins/platforms/qwindows.dll plugins/platforms/qoffscreen.dll lib/cmake/Qt5Test/Qt5TestConfig.cmake)
missing() {
    local file
    for file in "${NEEDED[@]}"; do [ -e "$PREFIX/$file" ] || { echo "$file"; return 0; }; done
    return 1
}
if [ -f "$PREFIX/.complete" ]; then
    if gone=$(missing); then
        die "the Qt build in $PREFIX lacks $gone: remove that folder and run again to rebuild it"
    fi
    echo "$PREFIX"
    exit 0
fi

WORK=$CACHE/work-$key
mkdir -p "$WORK"


if ! ls "$WORK"/src/qtbase-opensource-src_*.dsc >/dev/null 2>&1; then
    log "fetching Debian's qtbase source"
    fetch_debian_source qtbase-opensource-src "$WORK/src" || die "cannot fetch Debian's qtbase source"
fi
command -v dpkg-source >/dev/null || die "dpkg-source is missing (package dpkg-dev)"
rm -rf "$WORK/tree" "$WORK/build"
log "unpacking qtbase $version with Debian's patches"
dpkg-source --no-check -x "$(ls "$WORK"/src/qtbase-opensource-src_*.dsc | head -1)" "$WORK/tree" >/dev/null

log "configuring qtbase for MinGW-w64 (log: $WORK/build.log)"
mkdir -p "$WORK/build"
began=$SECONDS
rm -rf "$PREFIX"
(cd "$WORK/build" && nice "$WORK/tree/configure" -prefix "$PREFIX" "${CONFIGURE[@]}") >"$WORK/build.log" 2>&1 ||
    { tail -40 "$WORK/build.log" >&2; die "qtbase configure failed"; }
log "building qtbase (about 20 minutes on 2 cores)"
(cd "$WORK/build" && nice make -j"$(nproc)" && make install) >>"$WORK/build.log" 2>&1 ||
    { tail -40 "$WORK/build.log" >&2; die "qtbase build failed"; }
if gone=$(missing); then
    die "qtbase built, but $PREFIX lacks $gone (log: $WORK/build.log)"
fi
touch "$PREFIX/.complete"
log "qtbase for MinGW-w64 in $PREFIX after $((SECONDS - began)) s"
rm -rf "$WORK/tree" "$WORK/build"
echo "$PREFIX"
