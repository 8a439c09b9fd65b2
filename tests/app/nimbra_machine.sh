#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A machine made without --card has the demo machine's card, --no-card makes one without any,
# and both programs answer --help with their usage and success.
set -euo pipefail
machine_tool=$1
nimbra=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$machine_tool" init "$work/plain" >/dev/null
"$machine_tool" show "$work/plain" | grep -q "^modem      KVT30-J (.*) on COM3$" ||
  { echo "init without --card gave no card"; "$machine_tool" show "$work/plain"; exit 1; }
"$machine_tool" init "$work/bare" --no-card >/dev/null
if grep -q "^\[card" "$work/bare/machine.ini"; then echo "--no-card made a card"; exit 1; fi
"$machine_tool" --help | grep -q "^usage: nimbra-machine"
env -u DISPLAY QT_QPA_PLATFORM= "$nimbra" --help | grep -q "^usage: nimbra"
env -u DISPLAY QT_QPA_PLATFORM= "$nimbra" --help | grep -q "NIMBRA_SYSFS_ROOT"
echo "nimbra-machine init and --help behave"
