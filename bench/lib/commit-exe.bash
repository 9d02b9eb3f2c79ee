# An earlier commit's tarnwatch.exe for the benchmarks that run it in turn with this build's. Sourced, not
# run; needs BUILD_DIR and settings_tool from tests/e2e/lib/program.bash.

# commit_exe COMMIT: prints the path of that commit's tarnwatch.exe, built from the commit's own sources
# with the settings tool of this build, once, in BUILD_DIR/bench-commits/.
commit_exe() {
    local commit dir
    commit=$(git -C "$SOURCE_DIR" rev-parse --verify "$1^{commit}") || return
    dir=$BUILD_DIR/bench-commits/$commit
    if [[ ! -f $dir/build/ui/tarnwatch.exe ]]; then
        say "building tarnwatch.exe of $1 in $dir" >&2
        rm -rf "$dir"
        mkdir -p "$dir/source"
        git -C "$SOURCE_DIR" archive "$commit" | tar -x -C "$dir/source" || return
        cmake -S "$dir/source" -B "$dir/build" -DCMAKE_TOOLCHAIN_FILE="$dir/source/cmake/mingw-w64-x86_64.cmake" \
            -DTARNWATCH_HOST_SETTINGS_TOOL="$(settings_tool)" >/dev/null || return
        cmake --build "$dir/build" -j "$JOBS" --target tarnwatch >/dev/null || return
    fi
    printf '%s\n' "$dir/build/ui/tarnwatch.exe"
}
