#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the build needs (only what is missing), builds, then starts
# Quillmere or runs the test suite.
#
#   ./dev.sh run [PATH...]   build and start the application with PATHs added
#   ./dev.sh test            build and run every test
#   ./dev.sh bench           build and run the benchmarks
#   ./dev.sh tsan            run the conversion, window and corpus tests under ThreadSanitizer
set -euo pipefail
cd "$(dirname "$0")"

packages=(
    cmake make g++
    qtbase5-dev qttools5-dev qttools5-dev-tools qttranslations5-l10n
    ffmpeg
    desktop-file-utils appstream dpkg-dev
)

install_missing() {
    local missing=()
    for package in "${packages[@]}"; do
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

command=${1:-}
[ $# -gt 0 ] && shift
case "$command" in
    run)
        install_missing
        build
        exec build/quillmere "$@"
        ;;
    test)
        install_missing
        build
        exec ctest --test-dir build --output-on-failure --parallel "$(nproc)"
        ;;
    bench)
        install_missing
        build --target bench_intake bench_convert
        build/bench/bench_intake
        exec build/bench/bench_convert
        ;;
    tsan)
        install_missing
        cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
            -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
        cmake --build build-tsan --parallel "$(nproc)" --target test_conversion test_runcontrol test_mainwindow test_corpus
        export TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/tests/tsan.supp"
        exec ctest --test-dir build-tsan --output-on-failure -R 'test_(conversion|runcontrol|mainwindow|corpus)$'
        ;;
    *)
        sed -n '3,9p' "$0" >&2
        exit 2
        ;;
esac
