#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Soak: the desktop program on a simulated machine under a virtual X server, driven over the
# accessibility bus for a few hundred calls (scripts/soak-driver.py). Prints the program's
# resident memory, descriptors and threads every few cycles and fails when one keeps growing:
# its least-squares slope after the warm-up above 4 KiB, 0.02 descriptors or 0.02 threads per
# cycle. A cycle takes a few seconds of real time (the call's states and the card's answers), so
# the suite does not run it.
#   scripts/soak.sh [--cycles N] [--every K] [--warm-up W] [--calls fail|connect]
# --calls fail (default): each call fails and shows its error box, which is answered;
# --calls connect: each call comes up and Quit ends it.
set -euo pipefail

# Inside the virtual display and a session bus of its own: the accessibility bus, the program
# with its accessibility bridge on, then the driver.
inner() {
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  local launcher=$!
  sleep 1
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$root/build/default/app/nimbra/nimbra" >"$work/nimbra.log" 2>&1 &
  local program=$!
  local status=0
  /usr/bin/python3 "$root/scripts/soak-driver.py" --pid "$program" --cycles "$cycles" \
    --every "$every" --warm-up "$warm_up" || status=$?
  kill "$program" "$launcher" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  return "$status"
}
if [ "${1:-}" = --inside ]; then
  inner
  exit
fi

cd "$(dirname "$0")/.."
root=$PWD

cycles=300 every=20 warm_up=60 calls=fail
while [ $# -gt 0 ]; do
  case $1 in
    --cycles) cycles=$2 ;;
    --every) every=$2 ;;
    --warm-up) warm_up=$2 ;;
    --calls) calls=$2 ;;
    *) echo "usage: $0 [--cycles N] [--every K] [--warm-up W] [--calls fail|connect]" >&2; exit 2 ;;
  esac
  shift 2
done
[ "$calls" = fail ] || [ "$calls" = connect ] || { echo "soak: --calls is fail or connect" >&2; exit 2; }

cmake --preset default >/dev/null
cmake --build --preset default --target nimbra nimbra-machine >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
machine=$work/machine
build/default/app/nimbra-machine/nimbra-machine init "$machine" >/dev/null
[ "$calls" = fail ] && printf '\n[dialup]\noutcome = fail\n' >>"$machine/machine.ini"
mkdir -m 700 "$work/runtime"

export root work cycles every warm_up
echo "soak: $cycles cycles ($calls calls), figures every $every, warm-up $warm_up"
LANG=C.UTF-8 LC_ALL=C.UTF-8 NIMBRA_MACHINE=$machine XDG_RUNTIME_DIR=$work/runtime \
  xvfb-run -a -s "-screen 0 1280x800x24" dbus-run-session -- "$root/scripts/soak.sh" --inside \
  2> >(grep -v '^dbus-daemon' >&2)
