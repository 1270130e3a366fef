#!/usr/bin/env bash
# Runs the randomized operator of the Windows program (win32/tests/random_operator_test.cpp)
# under Wine for as long as asked, rather than the minute that the test command gives it:
#   scripts/random-operator-windows.sh [--seed S] [--steps N] [--seconds T]
# Without --seed it takes a fresh seed, which it prints; N defaults to 100000 and T to 600:
# whichever ends first ends the run. A failure prints the seed, the step and what the step
# did; the same seed and at least that many steps replay it.
#
# Installs what is missing first (scripts/setup.sh), cross-builds the Windows programs in
# build/ (or $TAGWRIGHT_BUILD_DIR), and runs the operator as the test command does, through
# cmake/wine-test.sh (its own display, Wine's heap checks), in a Wine prefix of its own.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/wine.sh"
build=${TAGWRIGHT_BUILD_DIR:-$root/build}
seed="" steps=100000 seconds=600
while (($#)); do
    case $1 in
    --seed) seed=$2 ;;
    --steps) steps=$2 ;;
    --seconds) seconds=$2 ;;
    *)
        echo "usage: $0 [--seed S] [--steps N] [--seconds T]" >&2
        exit 2
        ;;
    esac
    shift 2
done
seed=${seed:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DBUILD_TESTING=ON >/dev/null
cmake --build "$build" --target windows_build >/dev/null

if wine_emulated; then
    echo "random-operator-windows.sh: Wine runs under an emulator (qemu-i386) on this" \
        "machine: the steps made in the time given are far fewer, and their rate not" \
        "comparable with a machine that runs 32-bit programs itself"
fi
wine_test=$root/cmake/wine-test.sh
prefix=$build/windows/random-operator-prefix
"$wine_test" create "$prefix"
trap '"$wine_test" stop "$prefix"' EXIT
cp "$build/windows/reader-library/EPCSDK.DLL" "$prefix/drive_c/EPCSDK.DLL"
# The operator starts tagwright.exe from beside it.
cd "$build/windows/bin"
TAGWRIGHT_SEED=$seed TAGWRIGHT_STEPS=$steps TAGWRIGHT_SECONDS=$seconds \
    "$wine_test" run "$prefix" ./random_operator_test.exe
