#!/usr/bin/env bash
# Static MinGW builds of jsoncpp (Debian's source package) and GoogleTest/GMock
# (/usr/src/googletest) into DEPS/prefix. Each is skipped when already there.
# usage: deps.sh DEPS TOOLCHAIN_FILE
set -euo pipefail
DEPS=$(realpath -m "$1")
TOOLCHAIN=$(realpath "$2")
PREFIX=$DEPS/prefix

log() { printf '== %s\n' "$*" >&2; }

cross_build() { # NAME SOURCE_DIR CMAKE_ARGS...
    local name=$1 source=$2; shift 2
    cmake -S "$source" -B "$DEPS/build-$name" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DZUB_MINGW_DEPS_PREFIX="$PREFIX" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" "$@" >/dev/null
    cmake --build "$DEPS/build-$name" --target install >/dev/null
}

# A private apt state whose only entries are the deb-src twins of the machine's
# own Debian entries: the machine's lists and caches stay as they are.
fetch_jsoncpp_source() { # DIR
    local dir=$1 apt=$DEPS/apt
    rm -rf "$apt" && mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$dir"
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types:.*$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
            > "$apt/sources.list.d/debian-src.sources"
    else
        sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list > "$apt/sources.list.d/debian-src.list"
    fi
    # apt downloads as the _apt user.
    chmod -R a+rwX "$apt" "$dir"
    local opts=(-o "Dir::Etc::SourceList=$apt/none.list" -o "Dir::Etc::SourceParts=$apt/sources.list.d"
                -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache=")
    apt-get "${opts[@]}" -qq update
    (cd "$dir" && apt-get "${opts[@]}" -qq source --download-only libjsoncpp >/dev/null)
    rm -rf "$apt"
}

if [ ! -f "$PREFIX/lib/cmake/jsoncpp/jsoncpp-targets.cmake" ]; then
    log "jsoncpp for MinGW"
    src=$DEPS/src/jsoncpp
    ls "$src"/libjsoncpp_*.orig.tar.* >/dev/null 2>&1 || fetch_jsoncpp_source "$src"
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
