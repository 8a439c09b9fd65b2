#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The distributor's tool on files: template, build, show and build again give the same bytes;
# a refused INI leaves no output file and an old one as it was; a template never overwrites;
# preview saves a picture of the window (when a virtual X server can be had).
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$tool" template custom.ini
if "$tool" template custom.ini 2>/dev/null; then echo "template overwrote a file"; exit 1; fi
"$tool" build custom.ini -o first.ssd --language ja
[ "$(stat -c %s first.ssd)" = 1716 ] || { echo "the file is not 1716 bytes"; exit 1; }
"$tool" show first.ssd --language ja >shown.ini
"$tool" build shown.ini -o second.ssd --language ja
cmp first.ssd second.ssd

printf '[dialup]\npassword = secret\n' >password.ini
"$tool" build password.ini -o password.ssd --language en
[ "$(stat -c %a password.ssd)" = 600 ] || { echo "a file with a password is not 0600"; exit 1; }

printf '[window]\ntitle = ok\n\n[dialup]\nredial_check = 3\n' >bad.ini
if "$tool" build bad.ini -o new.ssd --language en 2>err.txt; then echo "accepted"; exit 1; fi
grep -q '^bad.ini:5: redial_check: a check state is 0' err.txt || { cat err.txt; exit 1; }
[ ! -e new.ssd ] || { echo "a refused build wrote a file"; exit 1; }
ls -A | grep -q '^\.new\.ssd' && { echo "a refused build left a temporary file"; exit 1; }
if "$tool" build bad.ini -o first.ssd --language en 2>/dev/null; then exit 1; fi
cmp first.ssd second.ssd || { echo "a refused build changed the old file"; exit 1; }

"$tool" check first.ssd | grep -q 'nothing: the window stays as built in'
head -c 100 first.ssd >short.ssd
"$tool" show short.ssd 2>err.txt >/dev/null
grep -q 'The file has 100 bytes, not 1716' err.txt || { cat err.txt; exit 1; }

"$tool" --help | grep -q '^usage: nimbra-custom'
if "$tool" build custom.ini 2>/dev/null; then echo "build without -o"; exit 1; fi

if command -v xvfb-run >/dev/null && [ -x "$(dirname "$tool")/../nimbra/nimbra-pictures" ]; then
  printf '[window]\ntitle = Preview\n[accelerator]\nframe_visible = 0\n' >preview.ini
  env -u DISPLAY "$tool" preview preview.ini -o preview.png --language en >/dev/null
  [ "$(head -c 4 preview.png | od -An -c | tr -d ' ')" = '211PNG' ] ||
    { echo "preview saved no PNG"; exit 1; }
fi
echo "nimbra-custom builds, shows, refuses and previews"
