#!/usr/bin/env bash
# with-xvfb: the command's status comes back, the screen is the one asked for, displays do
# not collide, and neither the server nor the command outlives the script, even when the
# script itself is stopped.
set -uo pipefail
wrapper=${1:?usage: with_xvfb_test.sh path/to/with-xvfb}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
gone() { ! kill -0 "$1" 2>/dev/null; }

# Status, screen size, and what is left once it returns.
"$wrapper" --screen 800x600x24 -- sh -c '
  n=${DISPLAY#:}
  echo "$n" >"$0/display"; pgrep -P "$PPID" -x Xvfb >"$0/server"
  xdpyinfo | grep -q "dimensions: *800x600 " || exit 9
  exit 3' "$work"
status=$?
[ "$status" -eq 3 ] || fail "status $status, not the command's 3"
n=$(cat "$work/display" 2>/dev/null)
server=$(tr -d ' ' <"$work/server" 2>/dev/null)
[ -n "$n" ] && [ -n "$server" ] || fail "the command saw no display"
gone "$server" || fail "Xvfb $server still runs"
[ ! -e "/tmp/.X$n-lock" ] || fail "display :$n left its lock"
[ ! -e "/tmp/.X11-unix/X$n" ] || fail "display :$n left its socket"
! xdpyinfo -display ":$n" >/dev/null 2>&1 || fail "display :$n still answers"

# The command gets SIGINT at its default, as from a terminal, not ignored as a script's
# background job would have it.
ignored=$("$wrapper" -- awk '/^SigIgn:/ {print $2}' /proc/self/status)
(( (16#${ignored:-2} & 2) == 0 )) || fail "the command ignores SIGINT (SigIgn $ignored)"

# A nested wrapper gets a display of its own.
pair=$("$wrapper" -- sh -c 'echo "$DISPLAY"; "$0" -- sh -c "echo \$DISPLAY"' "$wrapper")
outer=$(echo "$pair" | sed -n 1p)
inner=$(echo "$pair" | sed -n 2p)
[ -n "$outer" ] && [ -n "$inner" ] && [ "$outer" != "$inner" ] || fail "displays '$outer' and '$inner'"

# Stopped from outside: the command and the server go with it (a wrapper that waited for
# the command instead would hang until the test times out).
"$wrapper" -- sh -c 'echo "$$ ${DISPLAY#:}" >"$0/running.tmp"; mv "$0/running.tmp" "$0/running"; exec sleep 600' "$work" &
wrapper_pid=$!
for _ in $(seq 100); do [ -s "$work/running" ] && break; sleep 0.05; done
read -r command_pid n <"$work/running" || fail "the command never ran"
server=$(pgrep -P "$wrapper_pid" -x Xvfb)
kill -TERM "$wrapper_pid"
wait "$wrapper_pid"
status=$?
[ "$status" -eq 143 ] || fail "stopped wrapper answered $status, not 143"
gone "$command_pid" || fail "the command $command_pid outlived the wrapper"
[ -n "$server" ] && gone "$server" || fail "Xvfb '$server' outlived the wrapper"
[ ! -e "/tmp/.X$n-lock" ] || fail "display :$n left its lock after a stop"

# Usage errors say so.
"$wrapper" 2>/dev/null; [ $? -eq 2 ] || fail "no command is not a usage error"
"$wrapper" --screen 640x480 -- true 2>/dev/null; [ $? -eq 2 ] || fail "a screen without depth was taken"

if [ "$failures" -eq 0 ]; then echo "with-xvfb: all checks passed"; fi
exit "$((failures > 0))"
