#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Takes pictures of the window under a virtual X server, on fresh demo machines, in English and
# in Japanese: every page (build/screenshots/{en,ja}-{1..5}.png), and the first start's call as
# it goes by (build/screenshots/{en,ja}-call-NN.png), Inquire pressed on that call
# (build/screenshots/{en,ja}-inquiry.png), the CardInfo page during and after a measurement
# (build/screenshots/{en,ja}-measuring.png, -cardinfo.png), "Delete cache" on the Accelerator page
# while it runs (build/screenshots/{en,ja}-cache-{calculating,deleting,after}.png), and a call
# through the system's pppd on a machine whose dial-up service is pppd
# (build/screenshots/{en,ja}-pppd-NN.png; without kernel PPP support it ends with error 720).
# Message boxes are photographed too (...-box-N.png) and answered. What the runs print is
# also kept in build/screenshots/runs.log; a warning of the toolkit there fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target nimbra nimbra-pictures nimbra-machine
out=$PWD/build/screenshots
rm -rf "$out"
mkdir -p "$out"
log=$out/runs.log
for lang in en ja; do
  locale=en_US.UTF-8
  [ "$lang" = ja ] && locale=ja_JP.UTF-8
  for run in call pages measure cache; do
    machine=$(mktemp -d)
    mode=--screenshot-series
    prefix=$out/$lang-call
    [ "$run" = pages ] && mode=--screenshot-pages && prefix=$out/$lang
    [ "$run" = measure ] && mode=--screenshot-measure && prefix=$out/$lang
    [ "$run" = cache ] && mode=--screenshot-cache && prefix=$out/$lang-cache
    LANG=$locale LC_ALL=$locale NIMBRA_MACHINE=$machine/m XDG_RUNTIME_DIR=$machine \
      xvfb-run -a -s "-screen 0 1280x800x24" build/default/app/nimbra/nimbra-pictures "$mode" "$prefix" \
      2>&1 | tee -a "$log"
    rm -rf "$machine"
  done
  # Inquire on the call: the validity date in blue (...-inquiry.png).
  machine=$(mktemp -d)
  LANG=$locale LC_ALL=$locale NIMBRA_MACHINE=$machine/m XDG_RUNTIME_DIR=$machine \
    xvfb-run -a -s "-screen 0 1280x800x24" build/default/app/nimbra/nimbra-pictures \
    --screenshot-inquiry "$out/$lang-inquiry.png" 2>&1 | tee -a "$log"
  rm -rf "$machine"
  # The card simulator answers the dial after three seconds, so that "Dialing..." is seen.
  machine=$(mktemp -d)
  build/default/app/nimbra-machine/nimbra-machine init "$machine/m" --card KVT30-J --port 3 \
    --language "$lang" >/dev/null
  printf 'reply_ms.ATD = 3000\n[dialup]\nservice = pppd\n' >>"$machine/m/machine.ini"
  LANG=$locale LC_ALL=$locale NIMBRA_MACHINE=$machine/m XDG_RUNTIME_DIR=$machine \
    xvfb-run -a -s "-screen 0 1280x800x24" build/default/app/nimbra/nimbra-pictures --screenshot-series \
    "$out/$lang-pppd" 2>&1 | tee -a "$log"
  rm -rf "$machine"
done
if grep -E '^Q[A-Za-z]+::' "$log" >&2; then
  echo "screenshots.sh: the toolkit warned" >&2
  exit 1
fi
