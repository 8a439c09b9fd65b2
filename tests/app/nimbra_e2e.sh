#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts the real desktop program under a virtual X server on a fresh demo machine, in English
# and in Japanese, and checks that its window came up (the picture-taking program, which runs the
# program's own start, saved a picture of it) and that the demo machine it created holds the files
# the start-up writes. The program itself is started as the menu starts it, with no argument.
set -euo pipefail
nimbra=$1
pictures=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The program a user starts: its window is mapped, and it takes no picture-taking flag.
"$nimbra" --help | grep -q screenshot && { echo "nimbra --help lists picture-taking flags"; exit 1; }
NIMBRA_MACHINE=$work/plain XDG_RUNTIME_DIR=$work timeout 60 xvfb-run -a -s "-screen 0 1280x800x24" \
  sh -c '"$0" & pid=$!; xdotool search --sync --onlyvisible --class nimbra >/dev/null; kill $pid' \
  "$nimbra" >"$work/plain.log" 2>&1 || { cat "$work/plain.log"; exit 1; }
[ -s "$work/plain/registry.reg" ] || { echo "nimbra started no machine"; exit 1; }
echo "nimbra mapped its window"

for lang in en_US.UTF-8 ja_JP.UTF-8; do
  machine=$work/$lang
  LANG=$lang LC_ALL=$lang NIMBRA_MACHINE=$machine XDG_RUNTIME_DIR=$work \
    timeout 60 xvfb-run -a -s "-screen 0 1280x800x24" "$pictures" --screenshot "$work/$lang.png" \
    >"$work/$lang.log" 2>&1 || { cat "$work/$lang.log"; exit 1; }
  [ -s "$work/$lang.png" ] || { echo "no window picture for $lang"; cat "$work/$lang.log"; exit 1; }
  grep -q "^windows = XP" "$machine/machine.ini" || { echo "demo machine not created"; exit 1; }
  [ -s "$machine/registry.reg" ] || { echo "demo machine has no registry"; exit 1; }
done
grep -q "^language = ja" "$work/ja_JP.UTF-8/machine.ini" || { echo "Japanese locale made no ja machine"; exit 1; }
echo "desktop program started in English and in Japanese"

# The network libraries are the module's, loaded by the first request: Inquire on the demo
# machine's call goes through it to the machine's validity server, and the date is saved.
for program in "$nimbra" "$pictures"; do
  if readelf -d "$program" | grep -q 'NEEDED.*libQt6Network'; then
    echo "$program links the network libraries itself"
    exit 1
  fi
done
machine=$work/inquiry
LANG=C.UTF-8 NIMBRA_MACHINE=$machine XDG_RUNTIME_DIR=$work \
  timeout 60 xvfb-run -a -s "-screen 0 1280x800x24" "$pictures" --screenshot-inquiry \
  "$work/inquiry.png" >"$work/inquiry.log" 2>&1 || { cat "$work/inquiry.log"; exit 1; }
grep -Eq '^[0-9]{2}/[0-9]{2}/[0-9]{2}' "$machine/windows/nimbral.dat" ||
  { echo "no validity date saved"; cat "$work/inquiry.log"; exit 1; }
echo "the inquiry reached the machine's validity server through the network module"

# A measurement, photographed while the window is redrawn at its start and after it.
machine=$work/measure
LANG=C.UTF-8 NIMBRA_MACHINE=$machine XDG_RUNTIME_DIR=$work \
  timeout 90 xvfb-run -a -s "-screen 0 1280x800x24" "$pictures" --screenshot-measure \
  "$work/measure" >"$work/measure.log" 2>&1 || { cat "$work/measure.log"; exit 1; }
[ -s "$work/measure-measuring.png" ] && [ -s "$work/measure-cardinfo.png" ] ||
  { echo "no pictures of the measurement"; cat "$work/measure.log"; exit 1; }
echo "a measurement was photographed"

# None of the runs above printed a warning of the toolkit ("QWidget::repaint: ...").
if grep -HE '^Q[A-Za-z]+::' "$work"/*.log; then
  echo "the toolkit warned"
  exit 1
fi
echo "no toolkit warnings"
