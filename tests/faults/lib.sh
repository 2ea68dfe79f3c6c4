# Shared steps of the fault runs: a private tree (home, tmp and the working folder) for
# each run, a record of everything in it before and after, the program or texdump started
# inside it, and checks on the probe's journal.
#   VZ_PROGRAM, VZ_PROBE, VZ_TEXDUMP  the programs; VZ_FIXTURES the fault-fixtures tool;
#   VZ_CONTENT  the default content (data/ of the build); VZ_TOOLS the harness's helpers.
set -uo pipefail

VZ_FAILURES=0
VZ_PID=
VZ_STATUS=
# The test's own files live beside the tree, never inside it.
VZ_TEST=$(mktemp -d "${TMPDIR:-/tmp}/vz-fault.XXXXXX")
VZ_TREE=$VZ_TEST/tree
VZ_CWD=$VZ_TREE/cwd
VZ_STDOUT=$VZ_TEST/stdout
VZ_STDERR=$VZ_TEST/stderr
VZ_JOURNAL=$VZ_TEST/journal
VZ_FILES=$VZ_TEST/fixtures
VZ_TITLE="Voruzavur Kestrafen Vellmarsh ;)"
VZ_SCENES=(Intro Title Circus FlipBook Credits)

vz_cleanup() {
  if [[ -n $VZ_PID ]] && kill -0 "$VZ_PID" 2>/dev/null; then
    kill -KILL "$VZ_PID" 2>/dev/null
    wait "$VZ_PID" 2>/dev/null
  fi
  chmod -R u+w "$VZ_TEST" 2>/dev/null
  rm -rf "$VZ_TEST"
}
trap vz_cleanup EXIT

vz_fail() {
  echo "FAIL: $*"
  VZ_FAILURES=$((VZ_FAILURES + 1))
}

vz_finish() {
  if ((VZ_FAILURES)); then
    echo "--- standard error of the last run:"; cat "$VZ_STDERR" 2>/dev/null
    if [[ -s $VZ_JOURNAL ]]; then echo "--- journal (last 40 lines):"; tail -n 40 "$VZ_JOURNAL"; fi
    exit 1
  fi
  echo "passed"
  exit 0
}

mkdir -p "$VZ_FILES"
"$VZ_FIXTURES" "$VZ_FILES" || vz_fail "the fixtures could not be written"

# vz_tree [content]: a fresh tree with empty home and tmp and an empty working folder, or
# one holding a copy of the default content in data/.
vz_tree() {
  chmod -R u+w "$VZ_TREE" 2>/dev/null
  rm -rf "$VZ_TREE"
  mkdir -p "$VZ_TREE/home" "$VZ_TREE/tmp" "$VZ_CWD"
  if [[ ${1:-} == content ]]; then
    mkdir "$VZ_CWD/data"
    cp "$VZ_CONTENT"/*.jpg "$VZ_CONTENT/Vellmarsh.mp3" "$VZ_CWD/data/" ||
      vz_fail "no default content in $VZ_CONTENT"
  fi
}

# Everything in the tree: path, type, size, mode, link target, modification time and, for
# files, a checksum. Directory times are listed too, so a file made and removed again
# shows; the working folder's own entry is left out with "skip-cwd-time".
vz_listing() {
  (cd "$VZ_TREE" && find . -printf '%p %y %s %m %l %T@\n' | sort)
  (cd "$VZ_TREE" && find . -type f -exec md5sum {} + | sort -k2)
}
vz_snapshot() { vz_listing >"$VZ_TEST/before"; }

# vz_expect_untouched [skip-cwd-time]: the tree is as it was at vz_snapshot.
vz_expect_untouched() {
  vz_listing >"$VZ_TEST/after"
  local filter='^$'
  [[ ${1:-} == skip-cwd-time ]] && filter='^\./cwd d '
  if ! diff <(grep -v "$filter" "$VZ_TEST/before") <(grep -v "$filter" "$VZ_TEST/after") \
      >"$VZ_TEST/changes"; then
    vz_fail "the run changed its tree:"
    cat "$VZ_TEST/changes"
  fi
}

# The environment a run gets: HOME and TMPDIR inside the tree, no XDG folders elsewhere.
vz_env() {
  echo env -u XDG_CACHE_HOME -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME \
    -u XDG_RUNTIME_DIR HOME="$VZ_TREE/home" TMPDIR="$VZ_TREE/tmp"
}

# vz_start PROGRAM [VAR=value ...]: starts the program in the working folder, in the
# background, with a fresh journal. With VZ_READ_ONLY=1 the working folder is mounted
# read-only first (in a user and mount namespace of the run's own, so that even root
# cannot write there).
vz_start() {
  local program=$1
  shift
  rm -f "$VZ_JOURNAL"
  local run=($(vz_env) VZ_PROBE_JOURNAL="$VZ_JOURNAL" "$@" "$program")
  set -m
  if [[ ${VZ_READ_ONLY:-0} == 1 ]]; then
    unshare -r -m sh -c 'mount --bind -o ro "$0" "$0" && cd "$0" && exec "$@"' "$VZ_CWD" \
      "${run[@]}" >"$VZ_STDOUT" 2>"$VZ_STDERR" </dev/null &
  else
    (cd "$VZ_CWD" && exec "${run[@]}") >"$VZ_STDOUT" 2>"$VZ_STDERR" </dev/null &
  fi
  VZ_PID=$!
  set +m
}

# The read-only mount needs user namespaces; say so clearly where they are refused.
vz_need_read_only_mounts() {
  local probe=$VZ_TEST/ro-probe
  mkdir -p "$probe"
  unshare -r -m sh -c 'mount --bind -o ro "$0" "$0" && ! touch "$0/x" 2>/dev/null' "$probe" ||
    { vz_fail "cannot mount a read-only folder here (unshare -r -m refused)"; vz_finish; }
}

# vz_texdump [VAR=value ...] -- ARGS...: texdump in the working folder; sets VZ_STATUS.
vz_texdump() {
  local vars=()
  while (($#)) && [[ $1 != -- ]]; do vars+=("$1"); shift; done
  shift
  local run=($(vz_env) "${vars[@]}" "$VZ_TEXDUMP" "$@")
  if [[ ${VZ_READ_ONLY:-0} == 1 ]]; then
    unshare -r -m sh -c 'mount --bind -o ro "$0" "$0" && cd "$0" && exec "$@"' "$VZ_CWD" \
      "${run[@]}" >"$VZ_STDOUT" 2>"$VZ_STDERR" </dev/null
  else
    (cd "$VZ_CWD" && exec "${run[@]}") >"$VZ_STDOUT" 2>"$VZ_STDERR" </dev/null
  fi
  VZ_STATUS=$?
}

# vz_window [SECONDS]: prints the id of the program's window once it is mapped.
vz_window() {
  local seconds=${1:-30} id line
  for _ in $(seq $((seconds * 10))); do
    line=$(xwininfo -root -tree 2>/dev/null | grep -F -- "\"$VZ_TITLE\": (" | head -n1)
    if [[ -n $line ]]; then
      id=$(awk '{print $1}' <<<"$line")
      if [[ -n $id ]] && xwininfo -id "$id" 2>/dev/null | grep -q "Map State: IsViewable"; then
        echo "$id"
        return 0
      fi
    fi
    if [[ -n $VZ_PID ]] && ! kill -0 "$VZ_PID" 2>/dev/null; then break; fi
    sleep 0.1
  done
  vz_fail "no window \"$VZ_TITLE\" appeared"
  return 1
}

VZ_WAIT_SECONDS=60
source "$(dirname "${BASH_SOURCE[0]}")/../harness/run_steps.sh"

# vz_expect_chain WHAT: the journal's scene calls keep the chain's shape (each pass calls
# the scenes in order, every finished one answering at once, up to the one that draws;
# the clock never runs back), each of the five scenes drew, and the last pass found all
# five finished.
vz_expect_chain() {
  local what=$1 name problem
  problem=$(awk '
    BEGIN { split("Intro Title Circus FlipBook Credits", names, " ");
            for (i = 1; i <= 5; ++i) index_of[names[i]] = i; prev = 0; state = "drew"; t = -1 }
    /^Scene / {
      i = index_of[$2];
      if (!i) { print "unknown scene in: " $0; exit }
      if (i == 1 && state == "locked" && prev < 5) { print "pass cut short before: " $0; exit }
      if (i > 1 && !(prev == i - 1 && state == "locked")) { print "out of chain order: " $0; exit }
      if ($3 + 0 < t) { print "the clock ran back: " $0; exit }
      t = $3 + 0; prev = i; state = $4; next
    }
    /^Counter read outside/ { print $0; exit }
    { if (state == "locked" && prev < 5) { print "pass cut short before: " $0; exit }
      prev = 0; state = "drew" }
  ' "$VZ_JOURNAL" 2>/dev/null)
  [[ -z $problem ]] || vz_fail "$what: $problem"
  for name in "${VZ_SCENES[@]}"; do
    grep -qE "^Scene $name [0-9.]+ drew$" "$VZ_JOURNAL" 2>/dev/null ||
      vz_fail "$what: the scene $name never drew"
  done
  grep -qE "^Scene Credits [0-9.]+ locked$" "$VZ_JOURNAL" 2>/dev/null ||
    vz_fail "$what: the timeline did not run out"
}

# vz_full_presentation WHAT [VAR=value ...]: the probe build, its clock fast, from start to
# its own end, in the tree as it stands: status 0, the whole chain, an untouched tree.
vz_full_presentation() {
  local what=$1
  shift
  vz_snapshot
  vz_start "$VZ_PROBE" SDL_AUDIODRIVER=dummy VZ_PROBE_CLOCK_RATE=12 "$@"
  vz_wait_exit 120
  vz_expect_status 0 "$what"
  vz_expect_chain "$what"
  vz_expect_untouched
}

# CPU seconds (user and system) the process has used so far, in clock ticks.
vz_cpu_ticks() {
  local stat
  stat=$(<"/proc/$1/stat") || return 1
  stat=${stat##*) }
  read -r -a fields <<<"$stat"
  # After the name: state is field 3, so utime (14) and stime (15) are at 11 and 12.
  echo $((fields[11] + fields[12]))
}
