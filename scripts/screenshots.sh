#!/usr/bin/env bash
# Takes pictures of the window under a virtual X server, on fresh demo machines, in English and
# in Japanese: every page (build/screenshots/{en,ja}-{1..5}.png), and the first start's call as
# it goes by (build/screenshots/{en,ja}-call-NN.png), and "Delete cache" on the Accelerator page
# while it runs (build/screenshots/{en,ja}-cache-{calculating,deleting,after}.png). Message boxes
# are photographed too (...-box-N.png) and answered.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target nimbra
out=$PWD/build/screenshots
rm -rf "$out"
mkdir -p "$out"
for lang in en ja; do
  locale=en_US.UTF-8
  [ "$lang" = ja ] && locale=ja_JP.UTF-8
  for run in call pages cache; do
    machine=$(mktemp -d)
    mode=--screenshot-series
    prefix=$out/$lang-call
    [ "$run" = pages ] && mode=--screenshot-pages && prefix=$out/$lang
    [ "$run" = cache ] && mode=--screenshot-cache && prefix=$out/$lang-cache
    LANG=$locale LC_ALL=$locale NIMBRA_MACHINE=$machine/m XDG_RUNTIME_DIR=$machine \
      xvfb-run -a -s "-screen 0 1280x800x24" build/default/app/nimbra/nimbra "$mode" "$prefix"
    rm -rf "$machine"
  done
done
