#!/usr/bin/env bash
# Takes pictures of every page of the window in English and in Japanese on fresh demo machines,
# under a virtual X server: build/screenshots/{en,ja}-{1..5}.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target nimbra
out=$PWD/build/screenshots
mkdir -p "$out"
for lang in en ja; do
  machine=$(mktemp -d)
  locale=en_US.UTF-8
  [ "$lang" = ja ] && locale=ja_JP.UTF-8
  LANG=$locale LC_ALL=$locale NIMBRA_MACHINE=$machine/m \
    xvfb-run -a -s "-screen 0 1280x800x24" build/default/app/nimbra/nimbra \
    --screenshot-pages "$out/$lang"
  rm -rf "$machine"
done
