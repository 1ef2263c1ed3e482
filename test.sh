#!/usr/bin/env bash
# Install what is missing, build, and run every test.
#   ./test.sh              build into build/
#   ./test.sh --sanitize   build into build-asan/ with AddressSanitizer and
#                          UndefinedBehaviorSanitizer; the first report stops
#                          the program and fails its test
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
source tools/setup.sh

folder=build
options=()
case "${1:-}" in
  "") ;;
  --sanitize)
    folder=build-asan
    flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    # The benchmarks are not run by the tests; they would only lengthen the build.
    options=(-DZEMTRA_BUILD_BENCH=OFF
             "-DCMAKE_CXX_FLAGS=$flags"
             "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined")
    export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_stack_use_after_return=1:strict_string_checks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
    ;;
  *)
    echo "Usage: ./test.sh [--sanitize]" >&2
    exit 2
    ;;
esac

zemtra_install
zemtra_build "$folder" "${options[@]}"
cd "$folder"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 120
