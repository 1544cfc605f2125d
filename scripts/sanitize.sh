#!/usr/bin/env bash
# Builds the game and its unit and GL tests with AddressSanitizer and UBSan into build-asan/
# (preset "sanitizers") and runs every test but the end-to-end ones (the test preset of the
# same name says which); any sanitizer report fails the script.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-asan"
suppressions="$root/tests/sanitizer-suppressions"
reports="$build/sanitizer-reports"

# Reports also go to files: a report from a child process, or from a test whose status got
# lost, still fails the run. The preloaded GL driver (below) comes before the sanitizer
# runtime in the library list, which the runtime would otherwise refuse.
export_sanitizer_options() {
    export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:check_initialization_order=1:detect_stack_use_after_return=1:verify_asan_link_order=0:log_path=$reports/asan"
    export LSAN_OPTIONS="suppressions=$suppressions/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/ubsan"
}

build_all() {
    (cd "$root" && cmake --preset sanitizers >/dev/null) || return 1
    # Test discovery runs the test programs while building, so the options apply here too.
    (cd "$root" && cmake --build --preset sanitizers -j2)
}

# Mesa unloads its llvmpipe driver when the display closes, before LeakSanitizer looks at
# the stacks at exit; preloaded, it stays mapped and its leaks can be told from ours.
gl_driver() {
    local driver
    driver="/usr/lib/$(gcc -print-multiarch)/dri/swrast_dri.so"
    [ -f "$driver" ] && echo "$driver"
    return 0
}

run_tests() {
    local driver
    driver="$(gl_driver)"
    [ -n "$driver" ] || echo "sanitize: llvmpipe driver not found; GL driver leaks may show" >&2
    # The test preset leaves out the out-of-memory test: it caps the address space at 1 GiB,
    # far below what the sanitizers' shadow memory needs, so the sanitizer runtime itself
    # fails there.
    (cd "$root" && LD_PRELOAD="$driver" ctest --preset sanitizers)
}

# Prints the reports written so far; false when there is any.
no_reports() {
    compgen -G "$reports/*" >/dev/null || return 0
    echo "sanitize: sanitizer reports:" >&2
    cat "$reports"/* >&2
    return 1
}

rm -rf "$reports"
mkdir -p "$reports"
export_sanitizer_options
status=0
{ build_all && run_tests; } || status=1
no_reports || status=1
if [ "$status" != 0 ]; then
    echo "sanitize: FAILED (build folder $build)" >&2
    exit 1
fi
echo "sanitize: no sanitizer report"
