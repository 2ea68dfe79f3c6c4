# Steps shared by the shell libraries of the real-program runs (tests/integration/lib.sh,
# tests/faults/lib.sh). They use the caller's VZ_PID, VZ_STATUS, VZ_JOURNAL and vz_fail.

# vz_wait_exit [SECONDS]: waits for the program (default VZ_WAIT_SECONDS, else 30 s); sets
# VZ_STATUS, or kills it, fails the test and sets VZ_STATUS to "killed".
vz_wait_exit() {
  local seconds=${1:-${VZ_WAIT_SECONDS:-30}}
  VZ_STATUS=
  for _ in $(seq $((seconds * 10))); do
    if ! kill -0 "$VZ_PID" 2>/dev/null; then
      wait "$VZ_PID"
      VZ_STATUS=$?
      VZ_PID=
      return 0
    fi
    sleep 0.1
  done
  vz_fail "the program still ran after ${seconds} s"
  kill -KILL "$VZ_PID" 2>/dev/null
  wait "$VZ_PID" 2>/dev/null
  VZ_PID=
  VZ_STATUS=killed
  return 1
}

# vz_expect_status STATUS [WHAT]
vz_expect_status() {
  [[ $VZ_STATUS == "$1" ]] || vz_fail "${2:-run}: exit status $VZ_STATUS, expected $1"
}

# vz_journal_has LINE [WHAT]: the journal of the last run holds exactly this line.
vz_journal_has() {
  grep -qxF -- "$1" "$VZ_JOURNAL" 2>/dev/null || vz_fail "${2:-run}: journal lacks \"$1\""
}
