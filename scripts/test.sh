#!/usr/bin/env bash
# Installs what is missing, builds Tagwright with its tests and runs every test headless.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${TAGWRIGHT_BUILD_DIR:-$root/build}"

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DBUILD_TESTING=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"

# The whole suite once more, built with AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer: any report fails the test that made it. The Windows tests need
# no second run.
echo "== Sanitizers (AddressSanitizer, LeakSanitizer, UndefinedBehaviorSanitizer)"
cmake -S "$root" -B "$build-sanitize" -DBUILD_TESTING=ON -DTAGWRIGHT_SANITIZE=ON \
    -DTAGWRIGHT_WINDOWS_TESTS=OFF >/dev/null
if ! cmake --build "$build-sanitize" --parallel "$(nproc)" >"$build-sanitize.log" 2>&1; then
    cat "$build-sanitize.log"
    exit 1
fi
# AddressSanitizer's own dlopen stands between the binding and the loader, so the loader
# looks in the runtime's RUNPATH instead of the program's ($ORIGIN): name the folder instead.
LD_LIBRARY_PATH="$build-sanitize/bin${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" \
    ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:detect_stack_use_after_return=1 \
    LSAN_OPTIONS="suppressions=$root/sanitizers/lsan.supp" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$build-sanitize" --output-on-failure --parallel "$(nproc)"
