#!/usr/bin/env bash
# The desktop tests' promise to themselves: a peer that stops answering fails the check that
# waits for it within the check's bound, with the diagnostics that tell whose fault it was,
# and stops the test, instead of hanging it until CTest's timeout. Here the X server is
# stopped (SIGSTOP) under a running program, as if it hung.
# Usage: hang-test.sh ZELVO
zelvo=$1
source "$(dirname "$0")/../../support/x11-session.sh"
start_x
xvfb=${pids[0]}
start_program
outcome=$(mktemp)
trap 'kill -CONT "$xvfb" 2>/dev/null; rm -f "$outcome"; cleanup' EXIT

kill -STOP "$xvfb"
started=$SECONDS
# A test of its own, in a subshell: its check's failure ends it, not this test.
(
    passed=0 failed=0
    check "the window is still there" wait_until is_viewable "$window"
    echo "went on after the check"
) >"$outcome" 2>&1
status=$?
took=$((SECONDS - started))
kill -CONT "$xvfb"
checked # what ran out of time was the subshell's

sed 's/^/    /' "$outcome" | grep -v '^    *| #'
check "the check fails, and the test stops there, within a minute (${took} s, status $status)" \
    test "$status" -ne 0 -a "$took" -le 60 -a -z "$(grep 'went on' "$outcome")"
check "naming the command that got no answer" grep -q 'no answer within .* xwininfo' "$outcome"
told() { grep -q "$1" "$outcome"; }
check "with the program alive" told 'zelvo (PID [0-9]*): running'
check "and its threads' stacks" told 'Thread 1 '
check "and the X server stopped, and not answering" \
    bash -c "grep -q 'Xvfb $xvfb STOPPED' '$outcome' && grep -q 'does not answer' '$outcome'"
finish
