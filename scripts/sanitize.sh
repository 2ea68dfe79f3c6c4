#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/
# and runs the whole test suite there (full runs included), headless. Any finding fails
# its test, and the run fails when any sanitized process left a report, even one whose
# exit status a test did not look at. Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-asan

# Every program keeps its shared libraries loaded to the end, so the leak check sees what
# they still hold and names them (tests/harness/keep_libraries.cpp).
mkdir -p "$build"
"${CXX:-c++}" -c -O2 -o "$build/keep_libraries.o" tests/harness/keep_libraries.cpp
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVZ_SANITIZE=ON \
  -DCMAKE_EXE_LINKER_FLAGS="$build/keep_libraries.o" >/dev/null
cmake --build "$build" -j2

# Reports go to files as well as ending the process with a status no test expects
# (86 for ASan and UBSan, 23 for a leak), so a finding never passes for a wanted failure.
logs=$build/sanitizer-reports
rm -rf "$logs"
mkdir -p "$logs"
# Tracing tools (apitrace) preload their wrappers ahead of the ASan runtime; that order is
# fine for them, so it is not checked.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:exitcode=86:check_initialization_order=1:strict_string_checks=1:verify_asan_link_order=0:log_path=$logs/asan"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:exitcode=86:log_path=$logs/ubsan"
export LSAN_OPTIONS="suppressions=$root/leak-suppressions.txt:print_suppressions=0:exitcode=23"

cd "$build"
unset DISPLAY WAYLAND_DISPLAY
status=0
ctest --output-on-failure -j2 --timeout 900 "$@" || status=$?

# LeakSanitizer's own tracer now and then crashes at a process's exit ("Tracer caught
# signal"): a fault of the tool, which checked nothing. Its reports are set aside and the
# failed tests run once more; a real leak or error fails again.
shopt -s nullglob
tracerCrashes=()
for report in "$logs"/*; do
  grep -q 'Tracer caught signal' "$report" && tracerCrashes+=("$report")
done
if ((status != 0 && ${#tracerCrashes[@]})); then
  echo "sanitize.sh: the leak checker's tracer crashed in ${#tracerCrashes[@]} process(es); running the failed tests again" >&2
  for report in "${tracerCrashes[@]}"; do mv "$report" "$report.tracer-crash"; done
  status=0
  ctest --output-on-failure --rerun-failed --timeout 900 || status=$?
fi

# A test's own LSAN_OPTIONS may leave the list of suppressions used on; such a file alone
# is no finding.
reports=()
for report in "$logs"/*; do
  [[ $report == *.tracer-crash ]] && continue
  grep -qE 'ERROR: |runtime error|fatal error' "$report" && reports+=("$report")
done
if ((${#reports[@]})); then
  echo "sanitize.sh: ${#reports[@]} sanitizer report(s):" >&2
  for report in "${reports[@]}"; do
    echo "=== $report" >&2
    cat "$report" >&2
  done
  status=1
fi
exit "$status"
