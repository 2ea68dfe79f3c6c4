#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/
# and runs the whole test suite there (full runs included), headless. Any finding fails
# its test, and the run fails when any sanitized process left a report, even one whose
# exit status a test did not look at. Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-asan

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVZ_SANITIZE=ON >/dev/null
cmake --build "$build" -j2

# Reports go to files as well as ending the process with a status no test expects
# (86 for ASan and UBSan, 23 for a leak), so a finding never passes for a wanted failure.
logs=$build/sanitizer-reports
rm -rf "$logs"
mkdir -p "$logs"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:exitcode=86:check_initialization_order=1:strict_string_checks=1:detect_stack_use_after_return=0:log_path=$logs/asan"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:exitcode=86:log_path=$logs/ubsan"
export LSAN_OPTIONS="suppressions=$root/leak-suppressions.txt:print_suppressions=0:exitcode=23"

cd "$build"
unset DISPLAY WAYLAND_DISPLAY
status=0
ctest --output-on-failure -j2 --timeout 900 "$@" || status=$?

shopt -s nullglob
reports=("$logs"/*)
if ((${#reports[@]})); then
  echo "sanitize.sh: ${#reports[@]} sanitizer report(s):" >&2
  for report in "${reports[@]}"; do
    echo "=== $report" >&2
    cat "$report" >&2
  done
  status=1
fi
exit "$status"
