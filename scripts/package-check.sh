#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package and tries it on this machine (as root): lists its files, validates its
# desktop entry, installs it with dpkg, runs both programs from /usr/bin, starts the installed
# program from its menu entry's command under a virtual X server with a fresh home (pictures in
# build/package/screenshots), then removes it and checks that only the conffiles stay, and purges
# it and checks that the system is as it was.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

fail() {
  echo "package-check: $*" >&2
  exit 1
}
[ "$(id -u)" = 0 ] || fail "run as root: it installs the package with dpkg"
dpkg-query -W nimbra >/dev/null 2>&1 && fail "nimbra is known to dpkg already; purge it first (dpkg -P nimbra)"

echo "== building the package"
cmake --workflow --preset package >/dev/null
deb=$(ls -t build/package/nimbra_*.deb | head -n 1)
echo "$deb"
dpkg-deb -f "$deb" Package Version Depends Recommends
dpkg-deb -f "$deb" Depends | grep -qw ppp && fail "pppd must be recommended, not required"
dpkg-deb -f "$deb" Recommends | grep -qw ppp || fail "pppd is not recommended"

work=$(mktemp -d)
installed=0
# scripts/setup.sh puts the peers file in place by hand for the tests that start the real pppd;
# that copy stands aside while the package is tried, and comes back afterwards.
peers_by_hand=/etc/ppp/peers/nimbra
set_aside=0
cleanup() {
  ((installed)) && dpkg -P nimbra >/dev/null
  ((set_aside)) && mv "$work/peers-by-hand" "$peers_by_hand"
  rm -rf "$work"
}
trap cleanup EXIT
if [ -e "$peers_by_hand" ] && ! dpkg -S "$peers_by_hand" >/dev/null 2>&1; then
  mv "$peers_by_hand" "$work/peers-by-hand"
  set_aside=1
fi

echo "== files"
dpkg-deb -c "$deb"
mapfile -t files < <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print substr($6, 2)}')
mapfile -t dirs < <(dpkg-deb -c "$deb" | awk '$1 ~ /^d/ {print substr($6, 2, length($6) - 2)}')
dpkg-deb -e "$deb" "$work/control"
mapfile -t conffiles <"$work/control/conffiles"
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/nimbra.desktop"
echo "desktop entry valid"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/"*.metainfo.xml
echo "== lintian"
lintian --fail-on error,warning --profile debian "$deb"
echo "lintian: no errors, no warnings"

# What the package's directories look like before, to compare after the purge.
dir_state() {
  for d in "${dirs[@]}"; do
    [ -e "$d" ] && stat -c '%A %U:%G %n' "$d"
  done
  return 0
}
before=$(dir_state)
for f in "${files[@]}"; do
  [ -e "$f" ] && fail "$f exists before the package is installed; move it away first"
done

echo "== dpkg -i"
installed=1
dpkg -i "$deb"
for f in "${files[@]}"; do
  [ -e "$f" ] || fail "$f not installed"
done
peers_dir=$(stat -c '%a %U:%G' /etc/ppp/peers)
[ "$peers_dir" = "2750 root:dip" ] || fail "/etc/ppp/peers is $peers_dir, not 2750 root:dip as pppd has it"

echo "== the programs from /usr/bin"
for prog in nimbra-machine nimbra nimbra-custom; do
  # No display: --help answers before the window toolkit starts.
  status=0
  out=$(timeout 60 "/usr/bin/$prog" --help 2>&1) || status=$?
  grep -q "^usage: $prog " <<<"$out" || fail "$prog --help printed no usage: $out"
  [ "$status" = 0 ] || fail "$prog --help exited $status"
  echo "$prog --help: usage printed"
done

echo "== the installed program, started as the menu starts it, on a fresh home"
shots=$PWD/build/package/screenshots
rm -rf "$shots"
mkdir -p "$shots"
read -ra command <<<"$(sed -n 's/^Exec=//p' /usr/share/applications/nimbra.desktop)"
[ "${command[*]}" = nimbra ] || fail "the menu entry starts '${command[*]}', not nimbra"
# The installed picture-taking program runs the installed program's start as the menu starts it.
pictures=$(dpkg -L nimbra | grep '/nimbra-pictures$')
[ -x "$pictures" ] || fail "no picture-taking program in the package"
for lang in en ja; do
  locale=en_US.UTF-8
  [ "$lang" = ja ] && locale=ja_JP.UTF-8
  home=$work/home-$lang
  mkdir -m 700 "$home"
  env -i PATH=/usr/bin:/bin HOME="$home" LANG=$locale LC_ALL=$locale XDG_RUNTIME_DIR="$home" \
    timeout 60 xvfb-run -a -s "-screen 0 1280x800x24" "$pictures" --screenshot "$shots/installed-$lang.png" \
    >"$work/$lang.log" 2>&1 || { cat "$work/$lang.log"; fail "the installed program failed ($lang)"; }
  [ -s "$shots/installed-$lang.png" ] || fail "no window picture ($lang)"
  machine=$home/.local/share/nimbra/machine
  grep -q "^windows = XP" "$machine/machine.ini" || fail "no demo machine in $machine"
  grep -q "^language = $lang" "$machine/machine.ini" || fail "the demo machine is not in $lang"
  echo "$shots/installed-$lang.png"
done
# The installed network module: Inquire on a first start's call saves the server's date.
home=$work/home-inquiry
mkdir -m 700 "$home"
env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8 XDG_RUNTIME_DIR="$home" \
  timeout 60 xvfb-run -a -s "-screen 0 1280x800x24" "$pictures" --screenshot-inquiry \
  "$shots/installed-inquiry.png" >"$work/inquiry.log" 2>&1 ||
  { cat "$work/inquiry.log"; fail "the installed program failed to inquire"; }
grep -Eq '^[0-9]{2}/[0-9]{2}/[0-9]{2}' "$home/.local/share/nimbra/machine/windows/nimbral.dat" ||
  { cat "$work/inquiry.log"; fail "the installed network module answered no date"; }
echo "the installed network module answered the inquiry"

echo "== dpkg -r"
dpkg -r nimbra
for f in "${files[@]}"; do
  if printf '%s\n' "${conffiles[@]}" | grep -qxF "$f"; then
    [ -e "$f" ] || fail "conffile $f removed before the purge"
  elif [ -e "$f" ] || [ -L "$f" ]; then
    fail "$f left after dpkg -r"
  fi
done
echo "only the conffiles stay: ${conffiles[*]}"

echo "== dpkg -P"
dpkg -P nimbra
installed=0
for f in "${conffiles[@]}"; do
  [ -e "$f" ] && fail "conffile $f left after the purge"
done
[ "$(dir_state)" = "$before" ] || fail "directories differ after the purge:
$(diff <(echo "$before") <(dir_state))"
echo "package-check: passed"
