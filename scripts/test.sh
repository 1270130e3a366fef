#!/usr/bin/env bash
# Installs what is missing, builds Tagwright with its tests and runs every test headless.
#
# The Windows tests under Wine are part of the run: a machine that cannot build or run them
# fails it, in one line naming what is missing, unless TAGWRIGHT_WINDOWS_TESTS=OFF in the
# environment leaves them out on purpose.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/wine.sh"
build="${TAGWRIGHT_BUILD_DIR:-$root/build}"
windows_tests=$(tr '[:lower:]' '[:upper:]' <<<"${TAGWRIGHT_WINDOWS_TESTS:-REQUIRED}")
if [[ $windows_tests != REQUIRED && $windows_tests != OFF ]]; then
    echo "test.sh: TAGWRIGHT_WINDOWS_TESTS is OFF or REQUIRED (the default), not $windows_tests" >&2
    exit 2
fi

# CMake's configure, its output kept in <folder>.configure.log: where it fails, each of its
# errors in one line (CMake wraps an error's text over the indented lines below its header).
configure() {
    local folder=$1 log="$1.configure.log"
    shift
    if ! cmake -S "$root" -B "$folder" "$@" >"$log" 2>&1; then
        local errors
        errors=$(awk 'inside && /^  / { sub(/^ +/, " "); text = text $0; next }
                      inside { print "test.sh:" text; inside = 0 }
                      /^CMake Error/ { inside = 1; text = "" }
                      END { if (inside) print "test.sh:" text }' "$log")
        if [[ -n $errors ]]; then echo "$errors"; else cat "$log"; fi >&2
        exit 1
    fi
}

"$root/scripts/setup.sh"
configure "$build" -DBUILD_TESTING=ON -DTAGWRIGHT_WINDOWS_TESTS:STRING="$windows_tests"
cmake --build "$build" --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
windows_names=$(ctest --test-dir "$build" -N -L windows | sed -n 's/^ *Test *#[0-9]*: //p' | sort)
if ! ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" | tee "$build.ctest.log"; then
    # Where qemu-i386 runs Wine, Wine itself crashes now and then as a program starts (seen
    # as the dynamic loader's "Inconsistency detected" or an illegal instruction): there, and
    # only where every test that failed is one of the Windows tests, they run once more.
    failed=$(sed 's/^[0-9]*://' "$build/Testing/Temporary/LastTestsFailed.log" 2>/dev/null | sort)
    if ! wine_emulated || [[ -z $failed ]] ||
        [[ -n $(comm -23 <(echo "$failed") <(echo "$windows_names")) ]]; then
        exit 1
    fi
    echo "== Wine runs under an emulator here: the Windows tests that failed, once more:" $failed
    ctest --test-dir "$build" --output-on-failure --rerun-failed | tee -a "$build.ctest.log"
fi
# The tests labelled windows that ran and passed, counted by name in ctest's report (once
# where they ran again).
windows_ran=$(awk 'NR == FNR { windows[$0]; next }
                   match($0, /Test +#[0-9]+: [^ ]+ [. ]*Passed/) {
                       split(substr($0, RSTART, RLENGTH), words, " ")
                       if (words[3] in windows && !(words[3] in passed)) { passed[words[3]]; ++ran }
                   }
                   END { print ran + 0 }' \
    <(echo "$windows_names") "$build.ctest.log")
if [[ $windows_tests == REQUIRED && $windows_ran -eq 0 ]]; then
    echo "test.sh: no Windows test ran" >&2
    exit 1
fi

# The releases, which need the Windows build: built twice and compared, and the Debian
# package, from the main build's Windows program, installed, used and purged.
if [[ $windows_tests == OFF ]]; then
    echo "== Reproducible release and Debian package: left out with the Windows build" \
        "(TAGWRIGHT_WINDOWS_TESTS=OFF)"
else
    echo "== Reproducible release: the release built twice, in two folders, compared byte for byte"
    "$root/scripts/check-reproducible.sh"
    echo "== Debian package: lintian, installed with apt-get, a card written by a user, purged"
    "$root/scripts/test-package.sh" "$build"
fi

# The whole suite once more, built with AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer: any report fails the test that made it. The Windows tests need
# no second run.
echo "== Sanitizers (AddressSanitizer, LeakSanitizer, UndefinedBehaviorSanitizer)"
configure "$build-sanitize" -DBUILD_TESTING=ON -DTAGWRIGHT_SANITIZE=ON \
    -DTAGWRIGHT_WINDOWS_TESTS:STRING=OFF
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

if [[ $windows_tests == OFF ]]; then
    echo "== Windows tests: left out (TAGWRIGHT_WINDOWS_TESTS=OFF)"
else
    echo "== Windows tests (ctest -L windows, most of them under Wine): $windows_ran ran and passed"
fi
