#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Kills a scripted session of the program with SIGKILL at every moment it changes a file of its
# simulated machine (before and after each change: hundreds of kill points), then checks that
# every file holds a version the session left whole and that the next start works. Prints the
# figures: kills, files checked, corrupt files, failed next starts, temporary files left.
#   scripts/crash-consistency.sh [--kill-points N|all] [--seed S]   (default: all)
# The suite runs a handful of these kill points (ctest -R crash_consistency).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target crash_session crash_consistency >/dev/null
[ $# -gt 0 ] || set -- --kill-points all
exec build/default/tests/crash/crash_consistency build/default/tests/crash/crash_session "$@"
