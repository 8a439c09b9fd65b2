#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Nimbra and runs it on the simulated demo machine (created on first start in
# ~/.local/share/nimbra/machine, or in $NIMBRA_MACHINE). Without a display it starts the program
# under a virtual X server (through the picture-taking program, which runs it as a user starts
# it), lets the first start's call go through, saves a picture of the window and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target nimbra nimbra-pictures nimbra-machine

program=build/default/app/nimbra/nimbra
if [ -n "${DISPLAY:-}" ]; then
  exec "$program"
fi
shot=${NIMBRA_SCREENSHOT:-$PWD/build/nimbra-demo.png}
xvfb-run -a -s "-screen 0 1280x800x24" build/default/app/nimbra/nimbra-pictures --screenshot "$shot"
echo "No display here: the program ran on a virtual display for a few seconds."
echo "Its window: $shot (message boxes it showed, answered with OK: ${shot%.png}-box-N.png)"
