#!/usr/bin/env bash
# Some minutes of random clicks, keys and holds in the real window (Xvfb) of the ASan + UBSan
# build (build-asan/, made by scripts/sanitize.sh address when missing), with songs/ holding
# real and broken MIDI files. Fails when the program ends but by its exit question or a
# sanitizer reports. usage: scripts/soak.sh [MINUTES (5)] [SEED]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build-asan}
"$root/scripts/install-deps.sh"
if [ ! -f "$build/build.ninja" ]; then
    "$root/scripts/sanitize.sh" address -R '^$' >/dev/null
fi
cmake --build "$build" -- -j"${JOBS:-$(nproc)}" zubakko
supp=$root/tests/sanitizers
export ASAN_OPTIONS="detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$supp/ubsan.supp"
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
exec /usr/bin/python3 "$root/tests/soak/random_input.py" "$build/zubakko" "${1:-5}" ${2:+"$2"}
