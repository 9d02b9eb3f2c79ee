# Shared by the scripts: where things are, the packages they need and the two builds.
# Sourced, not run.

SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
LINUX_BUILD_DIR=$SOURCE_DIR/build/linux
WINDOWS_BUILD_DIR=$SOURCE_DIR/build/windows

REQUIRED_PACKAGES=(cmake g++ make googletest libgtest-dev libbenchmark-dev g++-mingw-w64-x86-64-posix
    wine wine64 fonts-wine xvfb imagemagick xdotool mawk zip unzip)

say() { printf '==> %s\n' "$*"; }
warn() { printf 'warning: %s\n' "$*" >&2; }

missing_packages() {
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q ' ok installed$'; then
            printf '%s\n' "$package"
        fi
    done
}

# install_missing_packages [PACKAGE...]: the given packages, or else REQUIRED_PACKAGES. Touches apt only when
# something is missing, so that reruns are quick and work offline.
install_missing_packages() {
    local wanted=("$@")
    if ((${#wanted[@]} == 0)); then
        wanted=("${REQUIRED_PACKAGES[@]}")
    fi
    if ! command -v dpkg-query >/dev/null; then
        warn "no dpkg here: assuming the build tools are installed"
        return 0
    fi
    local missing
    mapfile -t missing < <(missing_packages "${wanted[@]}")
    if ((${#missing[@]} == 0)); then
        return 0
    fi
    local as_root=()
    if ((EUID != 0)); then
        if ! command -v sudo >/dev/null; then
            printf 'error: missing packages %s, and neither root nor sudo to install them\n' "${missing[*]}" >&2
            return 1
        fi
        as_root=(sudo)
    fi
    say "installing ${missing[*]}"
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update &&
        "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
}

# Parallel jobs of the builds and of ctest.
JOBS=${JOBS:-$(nproc)}

# Runs a command while holding the lock of a build tree: two scripts configuring or building the same
# tree at once corrupt it, so a second one waits here for the first. The lock is held by the subshell's
# descriptor and goes with it, however the command ends.
with_build_lock() {
    local dir=$1
    shift
    mkdir -p "$dir" || return
    (
        exec {lock_fd}>>"$dir/.build.lock" || exit
        if ! flock --nonblock "$lock_fd"; then
            say "waiting for another script's build in $dir"
            flock "$lock_fd" || exit
        fi
        "$@"
    )
}

configure_linux_build() {
    cmake -S "$SOURCE_DIR" -B "$LINUX_BUILD_DIR" -DTARNWATCH_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
}

# Needs make_default_settings from the Linux build: it writes the param.dat put beside tarnwatch.exe.
configure_windows_build() {
    cmake -S "$SOURCE_DIR" -B "$WINDOWS_BUILD_DIR" \
        -DCMAKE_TOOLCHAIN_FILE="$SOURCE_DIR/cmake/mingw-w64-x86_64.cmake" \
        -DTARNWATCH_HOST_SETTINGS_TOOL="$LINUX_BUILD_DIR/tools/make_default_settings"
}

# configure_and_build DIR CONFIGURE_FUNCTION [TARGET...]: everything without targets. The steps are
# chained rather than left to errexit, which callers that test the result switch off.
configure_and_build() {
    local dir=$1 configure=$2
    shift 2
    if [[ ! $JOBS =~ ^[1-9][0-9]*$ ]]; then
        printf 'error: JOBS must be a whole number above zero, not "%s"\n' "$JOBS" >&2
        return 1
    fi
    local targets=()
    if (($# > 0)); then
        targets=(--target "$@")
    fi
    "$configure" || return
    cmake --build "$dir" -j "$JOBS" "${targets[@]}"
}

build_linux() {
    with_build_lock "$LINUX_BUILD_DIR" configure_and_build "$LINUX_BUILD_DIR" configure_linux_build "$@"
}

build_windows() {
    with_build_lock "$WINDOWS_BUILD_DIR" configure_and_build "$WINDOWS_BUILD_DIR" configure_windows_build "$@"
}

# The exe only exists once its entry point has been written; until then nothing is missing.
program_expected() {
    [[ -f $SOURCE_DIR/ui/main/win_main.cpp ]]
}

# The path under Wine's Z: drive, which maps the Unix root.
windows_path() {
    local path
    path=$(realpath -m -- "$1")
    printf 'Z:%s\n' "${path//\//\\}"
}
