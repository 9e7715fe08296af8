#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the build needs (only what is missing), builds, then starts
# Quillmere or runs the test suite.
#
#   ./dev.sh run [PATH...]   build the application alone, not the tests, and start it
#                            with PATHs added
#   ./dev.sh test            build and run every test four times: a normal build,
#                            then under AddressSanitizer and UndefinedBehaviorSanitizer,
#                            then the conversion and window tests under ThreadSanitizer,
#                            then a build with Qt 6
#   ./dev.sh quick           only the first of these runs: build build/ and run its tests,
#                            a quick check while working
#   ./dev.sh asan            only the second of these runs
#   ./dev.sh tsan            only the third
#   ./dev.sh qt6             only the fourth
#   ./dev.sh bench           build and run the benchmarks
#
# Each build has its own folder: build/, build-asan/, build-tsan/ and build-qt6/;
# ./dev.sh bench also builds the program without its tag step in build-notags/.
# Qt 5 is the default; the Qt 6 packages are installed only for a Qt 6 build.
set -euo pipefail
cd "$(dirname "$0")"

packages=(
    cmake make g++
    qtbase5-dev qttools5-dev qttools5-dev-tools qttranslations5-l10n
    ffmpeg libtag1-dev
    desktop-file-utils appstream dpkg-dev
    xvfb xauth xdotool libx11-dev
    parallel
)
qt6_packages=(
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools linguist-qt6
    qt6-translations-l10n
)

# install_missing [PACKAGE...]: the packages above and those named.
install_missing() {
    local missing=()
    for package in "${packages[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        "${missing[@]}" >/dev/null
}

build() {
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build --parallel "$(nproc)" "$@"
}

# Sanitized builds are optimised a little: the checks cost enough already.
sanitized_build() {
    cmake -S . -B "$1" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
        -DQUILLMERE_SANITIZE="$2" >/dev/null
    cmake --build "$1" --parallel "$(nproc)"
}

run_tests() {
    ctest --test-dir build --output-on-failure --no-label-summary --parallel "$(nproc)"
}

# Every report ends the process with an error. Qt is built without frame
# pointers, so leak stacks are unwound the slow way to see through its frames,
# which is what the suppressions match.
run_asan() {
    sanitized_build build-asan address,undefined
    ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:fast_unwind_on_malloc=0" \
    LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
        ctest --test-dir build-asan --output-on-failure --no-label-summary --parallel "$(nproc)"
}

# The program as it was before its tag step: bench/run's baseline for it.
notags_build() {
    if [ ! -d build-notags/source ]; then
        mkdir -p build-notags/source
        git archive fdbe45f | tar -x -C build-notags/source
    fi
    cmake -S build-notags/source -B build-notags/build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build-notags/build --parallel "$(nproc)" --target quillmere
}
qt6_build() {
    cmake -S . -B build-qt6 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQT_MAJOR_VERSION=6 >/dev/null
    cmake --build build-qt6 --parallel "$(nproc)" "$@"
}

run_qt6() {
    qt6_build
    ctest --test-dir build-qt6 --output-on-failure --no-label-summary --parallel "$(nproc)"
}

run_tsan() {
    sanitized_build build-tsan thread
    TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/tests/tsan.supp" \
        ctest --test-dir build-tsan --output-on-failure --no-label-summary --parallel "$(nproc)" -L threads
}

command=${1:-}
[ $# -gt 0 ] && shift
case "$command" in
    run)
        install_missing
        build --target quillmere
        exec build/quillmere "$@"
        ;;
    test)
        install_missing "${qt6_packages[@]}"
        build
        run_tests
        run_asan
        run_tsan
        run_qt6
        ;;
    quick)
        install_missing
        build
        run_tests
        ;;
    asan)
        install_missing
        run_asan
        ;;
    tsan)
        install_missing
        run_tsan
        ;;
    qt6)
        install_missing "${qt6_packages[@]}"
        run_qt6
        ;;
    bench)
        install_missing "${qt6_packages[@]}"
        build --target quillmere bench_intake bench_outputcolumn bench_removal bench_convert bench_headless bench_stamp \
            bench_blankwindow bench_windowrun bench_longlist bench_tags
        qt6_build --target quillmere bench_headless
        notags_build
        exec bench/run build build-qt6 build-notags/build/quillmere
        ;;
    *)
        sed -n '3,20p' "$0" >&2
        exit 2
        ;;
esac
