#!/usr/bin/env bash
# The release zip under Wine: it holds exactly the four files, the administrator's texts with CR LF line
# ends, and an exe that starts with its packaged param.dat and shows requests from the default log folder.
# A second build of the same sources in a tree of its own gives the same zip, byte for byte.
# Needs WINEPREFIX and DISPLAY of a running Wine session, BUILD_DIR (the Windows build) and SOURCE_DIR.
set -euo pipefail
: "${WINEPREFIX:?}" "${DISPLAY:?}" "${BUILD_DIR:?}" "${SOURCE_DIR:?}"

source "$SOURCE_DIR/tests/e2e/lib/program.bash"
source "$SOURCE_DIR/scripts/lib/package.sh"
source "$SOURCE_DIR/tests/scripts/check.sh"

work=$(mktemp -d)
# The folder the packaged param.dat names, inside the session's C: drive.
log_folder=$WINEPREFIX/drive_c/inetpub/logs/LogFiles/W3SVC1
finish() {
    tarnwatch_stop
    rm -rf "$work" "$WINEPREFIX/drive_c/inetpub"
}
trap finish EXIT

zip=$(make_release_zip "$BUILD_DIR" "$work/first")
version=$(sed -n 's/^project(tarnwatch VERSION \([0-9.]*\).*/\1/p' "$SOURCE_DIR/CMakeLists.txt")
check_equal "named after the project version" "tarnwatch-$version-win64.zip" "$(basename "$zip")"
check_equal "contents" "LICENSE.txt README.txt param.dat tarnwatch.exe" \
    "$(unzip -Z1 "$zip" | sort | tr '\n' ' ' | sed 's/ $//')"
unzip -q "$zip" -d "$work/unpacked"
for text in README.txt LICENSE.txt; do
    check_equal "every line of $text ends with CR LF" 0 "$(grep -c -v $'\r$' "$work/unpacked/$text" || true)"
done
check_true "README.txt names the version" "grep -q 'Tarnwatch $version' '$work/unpacked/README.txt'"
check_true "the licence is MIT's" "grep -q '^MIT License' '$work/unpacked/LICENSE.txt'"

second_build=$work/second-build
say "building the same sources again in $second_build"
cmake -S "$SOURCE_DIR" -B "$second_build" -DCMAKE_TOOLCHAIN_FILE="$SOURCE_DIR/cmake/mingw-w64-x86_64.cmake" \
    -DTARNWATCH_HOST_SETTINGS_TOOL="$(settings_tool)" >/dev/null
cmake --build "$second_build" -j "$JOBS" --target tarnwatch default_settings >/dev/null
check_true "a second build gives the same zip" "cmp -s '$zip' '$(make_release_zip "$second_build" "$work/second")'"

mkdir -p "$log_folder"
TARNWATCH_LOG=$log_folder/ex$(date '+%y%m%d').log
{
    iis_log_header "$(date '+%Y-%m-%d %H:%M:%S')"
    request_line 10.0.0.1 /before-the-start.htm
} >"$TARNWATCH_LOG"
TARNWATCH_DIR=$work/unpacked
tarnwatch_start
request_line 192.168.0.7 /from-the-package.htm >>"$TARNWATCH_LOG"
# The packaged settings poll every five seconds.
listview_reader wait-url /from-the-package.htm 20000 >/dev/null || true
check_equal "the packaged program shows new requests" "$(printf '192.168.0.7\t200\t/from-the-package.htm')" \
    "$(listview_reader rows | cut -f2-)"
tarnwatch_stop

finish_checks
