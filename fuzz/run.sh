#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into fuzz/build, writes the seeds, and runs every target for
# SECONDS (default 60) over its seeds, its regression inputs and the corpus kept in
# fuzz/build/corpus. Prints the executions per second of each; exits non-zero when any
# target finds a crash, a leak, an input slower than 1 s or an allocation over the limit
# (the input is then in fuzz/build/findings/TARGET/).
# FUZZ_TARGETS="tga memory" narrows the run; FUZZ_JOBS=2 runs two targets at once;
# FUZZ_SEED=N fixes libFuzzer's random seed, so a run can be repeated input for input
# (CI does that: its verdict then belongs to the code, not to the draw).
set -euo pipefail
seconds=${1:-60}
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$here/build
targets=${FUZZ_TARGETS:-tga memory path}

mkdir -p "$build"
flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVZ_FUZZ=ON -DVZ_BUILD_TESTS=OFF \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_C_FLAGS_RELEASE="-O2" -DCMAKE_CXX_FLAGS_RELEASE="-O2" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >"$build/configure.log" 2>&1 ||
  { cat "$build/configure.log"; exit 1; }
programs=()
for target in $targets; do programs+=("${target}_fuzzer"); done
cmake --build "$build" -j2 --target fuzz_seeds "${programs[@]}"

# Libraries' own leaks (Mesa, fontconfig, libwmf) are suppressed; ours never are.
export LSAN_OPTIONS="suppressions=$root/leak-suppressions.txt:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vz-fuzz-run-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# Largest input, per target: a TGA of about 64 x 64 pixels, a small picture, a long path.
declare -A maxLength=([tga]=20000 [memory]=8192 [path]=9000)
declare -A dictionary=([tga]=tga.dict [memory]=pictures.dict [path]=paths.dict)
# libwmf's gdk-pixbuf loader leaks its drawing canvas on every metafile it draws (see
# leak-suppressions.txt); over a long run that alone would pass the memory limit. So the
# memory target fuzzes in one worker process that is started afresh every few minutes,
# and any crash, leak, slow input or allocation over the limit still ends the run.
declare -A mode=([tga]="" [memory]="-fork=1 -ignore_ooms=0 -ignore_timeouts=0 -ignore_crashes=0" [path]="")

run_one() {
  local target=$1 corpus=$build/corpus/$1 findings=$build/findings/$1/
  mkdir -p "$corpus" "$findings"
  local inputs=("$corpus" "$build/fuzz/seeds/$target")
  [ -d "$here/regressions/$target" ] && inputs+=("$here/regressions/$target")
  local log=$build/$target.log
  local status=0 started finished
  started=$(date +%s)
  # shellcheck disable=SC2086 # the mode is a list of options
  TMPDIR=$scratch "$build/fuzz/${target}_fuzzer" -max_total_time="$seconds" -timeout=1 \
    -rss_limit_mb=2048 -malloc_limit_mb=1024 -max_len="${maxLength[$target]}" \
    -dict="$here/${dictionary[$target]}" -artifact_prefix="$findings" ${mode[$target]} \
    -print_final_stats=1 ${FUZZ_SEED:+-seed="$FUZZ_SEED"} "${inputs[@]}" >"$log" 2>&1 ||
    status=$?
  finished=$(date +%s)
  # The last status line carries the count of executions, in either mode.
  local runs perSecond
  runs=$(grep -oE '^#[0-9]+' "$log" | tail -1 | tr -d '#')
  perSecond=$(( ${runs:-0} / ( finished - started > 0 ? finished - started : 1 ) ))
  if [ "$status" -ne 0 ]; then
    echo "$target: FINDING (exit $status) after ${runs:-?} executions; see $log and $findings"
    grep -m1 -E "ERROR|SUMMARY|fuzz: " "$log" || true
    return 1
  fi
  echo "$target: ${runs:-?} executions in $((finished - started)) s, $perSecond per second, no finding"
}

failed=0
if [ "${FUZZ_JOBS:-1}" -ge 2 ]; then
  pids=()
  for target in $targets; do run_one "$target" & pids+=($!); done
  for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
else
  for target in $targets; do run_one "$target" || failed=1; done
fi
exit $failed
