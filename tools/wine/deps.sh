#!/usr/bin/env bash
# Static MinGW builds of jsoncpp (Debian's source package) and GoogleTest/GMock
# (/usr/src/googletest) into DEPS/prefix. Each is skipped when already there.
# usage: deps.sh DEPS TOOLCHAIN_FILE
set -euo pipefail
DEPS=$(realpath -m "$1")
TOOLCHAIN=$(realpath "$2")
PREFIX=$DEPS/prefix

# shellcheck source=tools/wine/debian-source.sh
. "$(dirname "$0")/debian-source.sh"

log() { printf '== %s\n' "$*" >&2; }

cross_build() { # NAME SOURCE_DIR CMAKE_ARGS...
    local name=$1 source=$2; shift 2
    cmake -S "$source" -B "$DEPS/build-$name" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DZUB_MINGW_DEPS_PREFIX="$PREFIX" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" "$@" >/dev/null
    cmake --build "$DEPS/build-$name" --target install >/dev/null
}


if [ ! -f "$PREFIX/lib/cmake/jsoncpp/jsoncpp-targets.cmake" ]; then
    log "jsoncpp for MinGW"
    src=$DEPS/src/jsoncpp
    ls "$src"/libjsoncpp_*.orig.tar.* >/dev/null 2>&1 || fetch_debian_source libjsoncpp "$src"
    rm -rf "$src/tree" && mkdir -p "$src/tree"
    tar -xf "$(ls "$src"/libjsoncpp_*.orig.tar.* | head -1)" -C "$src/tree" --strip-components=1
    cross_build jsoncpp "$src/tree" -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF \
        -DJSONCPP_WITH_PKGCONFIG_SUPPORT=OFF -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON \
        -DBUILD_OBJECT_LIBS=OFF
fi

if [ ! -f "$PREFIX/lib/cmake/GTest/GTestConfig.cmake" ]; then
    log "GoogleTest for MinGW"
    cross_build googletest /usr/src/googletest -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON \
        -Dgtest_disable_pthreads=OFF
fi
