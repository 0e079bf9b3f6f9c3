#!/usr/bin/env bash
# Builds everything with a sanitizer in a folder of its own and runs the whole test suite there:
#   scripts/sanitize.sh address   ASan + UBSan (and LeakSanitizer) in build-asan/
#   scripts/sanitize.sh thread    TSan in build-tsan/
# Clean means no report from our code. Reports are written to files in <build>/sanitizer-logs
# (the game holds standard error back while libraries start, and a report there would be lost),
# and the run fails when any was written. Reports from the machine's libraries are suppressed in
# tests/sanitizers/<kind>.supp, each with its reason; tests that measure time and cannot hold
# their bounds under a sanitizer's slowdown are listed in tests/sanitizers/skip-<mode>.txt with
# theirs, and are skipped with that reason printed. Extra arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mode=${1:-}
shift || true
supp=$root/tests/sanitizers
case "$mode" in
address)
    flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
    # Reports end the process with a failure; leaks are looked for at every exit.
    build=${BUILD_DIR:-$root/build-asan}
    logs=$build/sanitizer-logs
    export ASAN_OPTIONS="log_path=$logs/asan:detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
    export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
    export UBSAN_OPTIONS="log_path=$logs/ubsan:print_stacktrace=1:halt_on_error=1:suppressions=$supp/ubsan.supp${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
    ;;
thread)
    flags="-fsanitize=thread -fno-omit-frame-pointer"
    build=${BUILD_DIR:-$root/build-tsan}
    logs=$build/sanitizer-logs
    export TSAN_OPTIONS="log_path=$logs/tsan:halt_on_error=1:second_deadlock_stack=1:suppressions=$supp/tsan.supp${TSAN_OPTIONS:+:$TSAN_OPTIONS}"
    ;;
*)
    echo "usage: scripts/sanitize.sh address|thread [ctest options]" >&2
    exit 2
    ;;
esac

"$root/scripts/install-deps.sh"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
        -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
        -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" >/dev/null
fi
start=$(date +%s)
cmake --build "$build" -- -j"${JOBS:-$(nproc)}"
built=$(date +%s)
echo "sanitize.sh: $mode build took $((built - start)) s"

# The tests skipped under this sanitizer, each with its reason.
skip=()
if [ -f "$supp/skip-$mode.txt" ]; then
    while IFS= read -r line; do
        name=${line%%#*}
        name=${name// /}
        [ -z "$name" ] && continue
        echo "sanitize.sh: skipping $name:${line#*#}"
        skip+=("$name")
    done <"$supp/skip-$mode.txt"
fi
exclude=()
[ ${#skip[@]} -gt 0 ] && exclude=(-E "^($(IFS='|'; echo "${skip[*]}"))\$")

cd "$build"
rm -rf "$logs"
mkdir -p "$logs"
status=0
set +e
ctest --output-on-failure -j"${TEST_JOBS:-4}" --timeout 900 "${exclude[@]}" "$@" 2>&1 |
    tee "$logs.out"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1
set -e
echo "sanitize.sh: $mode tests took $(($(date +%s) - built)) s"
# Some reports (UBSan's beside ASan) reach the tests' own output instead of the files.
grep -E "runtime error:|ERROR: (Address|Leak)Sanitizer|WARNING: ThreadSanitizer" "$logs.out" \
    >"$logs/in-test-output" || rm -f "$logs/in-test-output"
reports=("$logs"/*)
if [ -e "${reports[0]}" ]; then
    for r in "${reports[@]}"; do
        echo "sanitize.sh: report in $r:"
        cat "$r"
    done
    echo "sanitize.sh: ${#reports[@]} file(s) with sanitizer reports" >&2
    status=1
else
    echo "sanitize.sh: no sanitizer report"
fi
exit $status
