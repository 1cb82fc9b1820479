# Sourced: wine_prefix DIR starts a fresh Wine prefix in DIR for the programs
# that follow (64-bit, the Chinese code page of the suite's users, no debug
# channels, no display) and stops its server when the calling shell exits.
# A prefix that does not come up within two minutes ends the caller.

wine_prefix() {
    export WINEPREFIX=$1
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LC_ALL=zh_CN.UTF-8
    unset WAYLAND_DISPLAY
    # A fresh prefix each run: no registry keys or files left by an earlier one.
    timeout 60 wineserver -k </dev/null >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    # The server and the services that wineboot starts keep the standard
    # streams they were given; on a pipe they would hold up whoever reads it.
    wineserver -p </dev/null >/dev/null 2>&1
    trap 'timeout 60 wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT
    if ! timeout 120 wineboot -i </dev/null >/dev/null 2>&1; then
        printf '== the Wine prefix %s did not start within 120 s (WINEDEBUG=err+all shows why)\n' \
            "$WINEPREFIX" >&2
        exit 1
    fi
}

# The Windows path of a Unix path (Wine's Z: drive is the Unix root).
wine_path() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

# wine_host ARGS...: the demo host of the suite in $ZUB_WINE_SUITE under Wine,
# ended after $ZUB_WINE_HOST_TIMEOUT seconds (180); its output without CRs.
wine_host() {
    local seconds=${ZUB_WINE_HOST_TIMEOUT:-180} status
    set +e
    timeout -k 10 "$seconds" wine "$ZUB_WINE_SUITE/bin/zubhost.exe" "$@" </dev/null | tr -d '\r'
    status=${PIPESTATUS[0]}
    set -e
    [ "$status" -ne 124 ] || printf '== zubhost.exe %s did not end within %s s\n' "$*" "$seconds" >&2
    return "$status"
}
