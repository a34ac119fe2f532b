#!/usr/bin/env bash
# Runs a desktop test, and once more when it ended with status 75: the desktop itself stopped
# answering while the program lived, a fault of the desktop that the first run's output shows
# (stacks included). A second such end fails.
# Usage: once-more-after-desktop-hang.sh TEST ARGS...
"$@"
status=$?
[ "$status" -eq 75 ] || exit "$status"
echo "=== the desktop stopped answering (above), not the program: the test runs once more"
"$@"
status=$?
[ "$status" -eq 75 ] && exit 1
exit "$status"
