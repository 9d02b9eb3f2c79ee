# The release zip: tarnwatch.exe, the default param.dat, README.txt for the administrator and LICENSE.
# Sourced, not run; needs build.sh.
#
# The zip is the same, byte for byte, whenever it is made from the same commit: the exe carries no link
# time, the files go in one fixed order with fixed permissions and the commit's time, and zip stores no
# extra attributes.

# The version the build was configured with, from the project version in CMakeLists.txt.
configured_version() {
    sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"
}

# The time of the commit the sources come from; without git, a fixed day.
release_epoch() {
    git -C "$SOURCE_DIR" log -1 --format=%ct 2>/dev/null || printf '1767225600\n'
}

# make_release_zip WINDOWS_BUILD_DIR OUTPUT_DIR: prints the path of the zip it wrote.
make_release_zip() {
    local build=$1 output=$2 version stage epoch zip
    version=$(configured_version "$build")
    if [[ -z $version ]]; then
        printf 'error: %s holds no configured build\n' "$build" >&2
        return 1
    fi
    stage=$(mktemp -d) || return
    cp "$build/ui/tarnwatch.exe" "$build/ui/param.dat" "$stage/" || return
    # Windows readers expect CR LF.
    sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$SOURCE_DIR/resources/release/README.txt" >"$stage/README.txt"
    sed -e 's/$/\r/' "$SOURCE_DIR/LICENSE" >"$stage/LICENSE.txt"
    epoch=$(release_epoch)
    chmod 644 "$stage"/*
    touch -d "@$epoch" "$stage"/*
    mkdir -p "$output" || return
    zip=$(cd "$output" && pwd)/tarnwatch-$version-win64.zip
    rm -f "$zip"
    (cd "$stage" && TZ=UTC zip -X -D -q "$zip" LICENSE.txt README.txt param.dat tarnwatch.exe) || return
    rm -rf "$stage"
    printf '%s\n' "$zip"
}
