# Sourced by the MinGW dependency scripts.
# fetch_debian_source PACKAGE DIR: downloads Debian's source package into DIR
# through a private apt state whose only entries are the deb-src twins of the
# machine's own Debian entries, so the machine's lists and caches stay as they are.
fetch_debian_source() {
    local package=$1 dir=$2 apt
    apt=$(mktemp -d)
    mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$dir"
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types:.*$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
            > "$apt/sources.list.d/debian-src.sources"
    else
        sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list > "$apt/sources.list.d/debian-src.list"
    fi
    chmod -R a+rwX "$apt" "$dir" # apt downloads as the _apt user
    local opts=(-o "Dir::Etc::SourceList=$apt/none.list" -o "Dir::Etc::SourceParts=$apt/sources.list.d"
                -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache=")
    local status=0
    apt-get "${opts[@]}" -qq update && (cd "$dir" && apt-get "${opts[@]}" -qq source --download-only "$package" >/dev/null) ||
        status=1
    rm -rf "$apt"
    return $status
}
