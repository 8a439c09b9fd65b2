#!/bin/sh
# SPDX-License-Identifier: MIT
# The ip-up.d and ip-down.d hooks hand Nimbra's link's DNS servers to systemd-resolved and take
# them back, with exactly these resolvectl arguments, and do nothing for another link, without
# servers, or while resolved is not running.
set -eu
up=$1
down=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
# Stand-ins: systemctl answers is-active as $work/resolved says; resolvectl logs its arguments.
cat >"$work/bin/systemctl" <<STAND_IN
#!/bin/sh
[ "\$*" = "is-active --quiet systemd-resolved.service" ] || exit 3
[ "\$(cat "$work/resolved")" = active ]
STAND_IN
cat >"$work/bin/resolvectl" <<STAND_IN
#!/bin/sh
printf '%s|' "\$@" >>"$work/calls"
echo >>"$work/calls"
STAND_IN
chmod +x "$work/bin/systemctl" "$work/bin/resolvectl"

failures=0
# check NAME RESOLVED EXPECTED HOOK ENV... -- ARGS...: runs the hook as /etc/ppp/ip-up would.
check() {
  name=$1 state=$2 expected=$3 hook=$4
  shift 4
  echo "$state" >"$work/resolved"
  : >"$work/calls"
  envs=
  while [ "$1" != -- ]; do envs="$envs $1"; shift; done
  shift
  # shellcheck disable=SC2086 # one word per variable
  env -i PATH="$work/bin:/usr/bin:/bin" $envs "$hook" "$@" || { echo "$name: hook failed"; failures=$((failures + 1)); }
  got=$(cat "$work/calls")
  if [ "$got" != "$expected" ]; then
    printf '%s: expected\n%s\ngot\n%s\n' "$name" "$expected" "$got"
    failures=$((failures + 1))
  fi
}

args="ppp0 /dev/ttyACM0 115200 10.64.1.2 10.64.0.1"
both='dns|ppp0|192.0.2.53|198.51.100.53|
domain|ppp0|~.|'
# shellcheck disable=SC2086 # pppd's five arguments, then ipparam
{
  check "two servers" active "$both" "$up" PPP_IFACE=ppp0 LINKNAME=nimbra DNS1=192.0.2.53 DNS2=198.51.100.53 -- $args ""
  check "one server" active 'dns|ppp0|192.0.2.53|
domain|ppp0|~.|' "$up" PPP_IFACE=ppp0 LINKNAME=nimbra DNS1=192.0.2.53 -- $args ""
  check "interface from \$1" active 'dns|ppp3|192.0.2.53|
domain|ppp3|~.|' "$up" LINKNAME=nimbra DNS1=192.0.2.53 -- ppp3 /dev/ttyACM0 115200 a b ""
  check "ipparam nimbra" active "$both" "$up" PPP_IFACE=ppp0 DNS1=192.0.2.53 DNS2=198.51.100.53 -- $args nimbra
  check "no servers" active "" "$up" PPP_IFACE=ppp0 LINKNAME=nimbra -- $args ""
  check "resolved not running" inactive "" "$up" PPP_IFACE=ppp0 LINKNAME=nimbra DNS1=192.0.2.53 -- $args ""
  check "another link" active "" "$up" PPP_IFACE=ppp0 LINKNAME=provider DNS1=192.0.2.53 -- $args ""
  check "down" active "revert|ppp0|" "$down" PPP_IFACE=ppp0 LINKNAME=nimbra -- $args ""
  check "down, resolved not running" inactive "" "$down" PPP_IFACE=ppp0 LINKNAME=nimbra -- $args ""
  check "down, another link" active "" "$down" PPP_IFACE=ppp1 LINKNAME=provider -- $args ""
}
[ "$failures" -eq 0 ] || exit 1
echo "the resolved hooks call resolvectl as expected"
