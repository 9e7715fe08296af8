# SPDX-License-Identifier: GPL-3.0-or-later
# Build settings shared by the library, the executable, the tests and the benchmarks.
add_library(quillmere_build_settings INTERFACE)

target_compile_features(quillmere_build_settings INTERFACE cxx_std_17)
target_compile_options(quillmere_build_settings INTERFACE
    $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra>)
target_compile_definitions(quillmere_build_settings INTERFACE
    QUILLMERE_VERSION="${PROJECT_VERSION}"
    QUILLMERE_APP_ID="${QUILLMERE_APP_ID}"
    QUILLMERE_SOURCE_URL="${QUILLMERE_SOURCE_URL}"
    QUILLMERE_SOURCE_SITE="${QUILLMERE_SOURCE_SITE}"
    QUILLMERE_WIKI_URL="${QUILLMERE_SOURCE_URL}/wiki"
    QUILLMERE_ISSUES_URL="${QUILLMERE_SOURCE_URL}/issues")

set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTOUIC ON)
set(CMAKE_AUTORCC ON)

# Run-time checkers for the program and its tests, as a list for -fsanitize=
# ("address,undefined", "thread"). Tools that only run during the build stay
# unchecked.
set(QUILLMERE_SANITIZE "" CACHE STRING "Sanitizers to build the program and its tests with")
add_library(quillmere_sanitizers INTERFACE)
if(QUILLMERE_SANITIZE)
    target_compile_options(quillmere_sanitizers INTERFACE
        -fsanitize=${QUILLMERE_SANITIZE} -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(quillmere_sanitizers INTERFACE -fsanitize=${QUILLMERE_SANITIZE})
endif()
