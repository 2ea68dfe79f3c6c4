# Shared steps of the real-window runs: a temporary working folder, the program started in
# the background, waiting for windows by name, keys, and the exit status. Each test runs
# under tests/harness/with-xvfb, so DISPLAY is a private server (unless a test unsets it).
set -uo pipefail

VZ_FAILURES=0
VZ_PID=
VZ_WORK=$(mktemp -d "${TMPDIR:-/tmp}/vz-run.XXXXXX")
VZ_STDOUT=$VZ_WORK/stdout
VZ_STDERR=$VZ_WORK/stderr
VZ_JOURNAL=$VZ_WORK/journal

vz_cleanup() {
  if [[ -n $VZ_PID ]] && kill -0 "$VZ_PID" 2>/dev/null; then
    kill -KILL "$VZ_PID" 2>/dev/null
    wait "$VZ_PID" 2>/dev/null
  fi
  rm -rf "$VZ_WORK"
}
trap vz_cleanup EXIT

vz_fail() {
  echo "FAIL: $*"
  VZ_FAILURES=$((VZ_FAILURES + 1))
}

# Ends the test: prints what the program said when anything failed.
vz_finish() {
  if ((VZ_FAILURES)); then
    echo "--- standard error of the last run:"; cat "$VZ_STDERR" 2>/dev/null
    if [[ -s $VZ_JOURNAL ]]; then echo "--- journal:"; cat "$VZ_JOURNAL"; fi
    exit 1
  fi
  echo "passed"
  exit 0
}

# The working folder the program starts in: empty, or with a soundtrack file.
vz_workdir() {
  rm -rf "$VZ_WORK/cwd"
  mkdir -p "$VZ_WORK/cwd"
  if [[ -n ${1:-} ]]; then
    mkdir -p "$VZ_WORK/cwd/data"
    cp "$1" "$VZ_WORK/cwd/data/Vellmarsh.mp3"
  fi
}

# vz_start PROGRAM [VAR=value ...]: starts the program in the working folder with a fresh
# journal (read by the probe build) and the given environment.
vz_start() {
  local program=$1
  shift
  rm -f "$VZ_JOURNAL"
  [[ -d $VZ_WORK/cwd ]] || vz_workdir
  # With job control on, the program does not inherit SIGINT ignored, as a background
  # job of a script would; it then gets the signals a terminal would send.
  set -m
  (cd "$VZ_WORK/cwd" && exec env VZ_PROBE_JOURNAL="$VZ_JOURNAL" "$@" "$program") \
    >"$VZ_STDOUT" 2>"$VZ_STDERR" </dev/null &
  VZ_PID=$!
  set +m
}

# vz_window NAME [SECONDS]: prints the id of the top-level window named exactly NAME once
# it is mapped; fails the test when none is within the time (default 20 s).
vz_window() {
  local name=$1 seconds=${2:-20} id line
  for _ in $(seq $((seconds * 10))); do
    line=$(xwininfo -root -children 2>/dev/null | grep -F -- "\"$name\": (" | head -n1)
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
  vz_fail "no window \"$name\" appeared"
  return 1
}

# vz_keys WINDOW KEY...: gives the window the focus and types the keys on the real
# (XTEST) keyboard, as a person would.
vz_keys() {
  local window=$1
  shift
  xdotool windowfocus --sync "$window" key --delay 100 "$@"
}

# vz_hold WINDOW KEY: a press held for a moment, as a person's is. The program looks at
# Escape between frames only, and a tap whose press and release both wait in the queue
# (a frame takes up to a refresh period) would come and go unseen.
vz_hold() {
  xdotool windowfocus --sync "$1" keydown "$2" sleep 0.3 keyup "$2"
}

source "$(dirname "${BASH_SOURCE[0]}")/../harness/run_steps.sh"

vz_journal_lacks() {
  ! grep -qF -- "$1" "$VZ_JOURNAL" 2>/dev/null || vz_fail "journal has \"$1\""
}

# The teardown after a run that opened its window, in its order: music, then display mode
# (fullscreen only), window and class.
vz_expect_teardown() {
  local expected=(SoundStreamStop SoundStreamClose SoundClose)
  [[ ${1:-} == fullscreen ]] && expected+=("ChangeDisplayMode restore")
  expected+=(DestroyWindow UnregisterWindowClass)
  local got
  got=$(grep -oE '^(SoundStreamStop|SoundStreamClose|SoundClose|ChangeDisplayMode restore|DestroyWindow|UnregisterWindowClass)' "$VZ_JOURNAL" 2>/dev/null | paste -sd,)
  local want
  want=$(IFS=,; echo "${expected[*]}")
  [[ $got == "$want" ]] || vz_fail "teardown was [$got], expected [$want]"
  vz_journal_has "DestroyWindow -> 1"
  vz_journal_has "UnregisterWindowClass OpenGL -> 1"
  [[ ${1:-} == fullscreen ]] && vz_journal_has "ChangeDisplayMode restore -> 0"
  return 0
}
