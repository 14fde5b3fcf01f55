#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh, into build-pkg/ or $1) and checks it:
# lintian (no errors), the desktop entry, the AppStream metadata, the systemd unit, then
# installs it with apt-get, runs the installed programs, and removes it again.
# Needs root (apt-get install) and scripts/install-deps.sh's packages.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

fail() {
  echo "package check: $*" >&2
  exit 1
}
step() { echo "== $*"; }

bash scripts/install-deps.sh

work=$(mktemp -d)
installed=no
serve=
person=no
cleanup() {
  if [ -n "$serve" ]; then kill "$serve" 2>/dev/null || true; fi
  if [ "$installed" = yes ]; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y zelka-utility >/dev/null 2>&1 ||
      dpkg --purge zelka-utility >/dev/null 2>&1 || true
  fi
  if [ "$person" = yes ]; then deluser --quiet --remove-home zelka >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

step "building the package"
bash scripts/package.sh "${1:-build-pkg}" >"$work/package.log" 2>&1 ||
  { cat "$work/package.log"; fail "scripts/package.sh failed"; }
deb=$(tail -n 1 "$work/package.log")
[ -f "$deb" ] || { cat "$work/package.log"; fail "no package built (got '$deb')"; }
echo "$deb"
dpkg-deb --field "$deb" Package Version Depends

step "lintian"
# Lintian warns that it runs as root; CI is root.
lintian_status=0
lintian --fail-on error --display-info "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
grep -v 'running with root privileges' "$work/lintian.log" || true
[ "$lintian_status" -eq 0 ] || fail "lintian reports errors"

step "contents"
dpkg-deb -x "$deb" "$work/root"
version=$(dpkg-deb --field "$deb" Version)
project_version=$(sed -n 's/^project(zelka_utility VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ "$version" = "$project_version" ] || fail "package version $version, project version $project_version"
changelog_version=$(dpkg-parsechangelog -l packaging/debian/changelog -S Version)
[ "$changelog_version" = "$version" ] ||
  fail "packaging/debian/changelog's last entry is $changelog_version, the project is $version"
metainfo=$work/root/usr/share/metainfo/example.zelka.utility.metainfo.xml
grep -q "<release version=\"$version\"" "$metainfo" ||
  fail "the AppStream metadata has no release $version"
for f in usr/bin/zelka-utility usr/bin/zelka-sim \
  usr/share/applications/zelka-utility.desktop \
  usr/share/icons/hicolor/scalable/apps/zelka-utility.svg \
  usr/share/man/man1/zelka-utility.1.gz usr/share/man/man1/zelka-sim.1.gz \
  usr/share/doc/zelka-utility/copyright usr/share/doc/zelka-utility/changelog.gz \
  usr/share/doc/zelka-utility/README.Debian; do
  [ -e "$work/root/$f" ] || fail "missing /$f"
done
has_cli=no
if [ -e "$work/root/usr/bin/zelka" ]; then
  has_cli=yes
  for f in usr/share/man/man1/zelka.1.gz usr/lib/systemd/system/zelka-serve.service \
    etc/default/zelka-serve; do
    [ -e "$work/root/$f" ] || fail "missing /$f"
  done
  # Every command that zelka's help lists, and every option of its own help, is in its
  # page: the page is made from the help, and a command added later must come along.
  zelka_bin=$work/root/usr/bin/zelka
  zelka_page=$(zcat "$work/root/usr/share/man/man1/zelka.1.gz" | sed 's/\\-/-/g; s/\\f[BIRP]//g')
  for section in ENVIRONMENT FILES; do
    grep -q "^\.SH \"\?$section\"\?\$" <<<"$zelka_page" || fail "zelka.1 has no $section section"
  done
  grep -q ZELKA_PORT <<<"$zelka_page" || fail "zelka.1 does not explain ZELKA_PORT"
  grep -q /etc/default/zelka-serve <<<"$zelka_page" || fail "zelka.1 does not name /etc/default/zelka-serve"
  commands=$("$zelka_bin" --help | awk '/^Commands:/ { on = 1; next } on && /^$/ { exit }
    on { sub(/^ +/, ""); sub(/  .*/, ""); s = ""
         for (i = 1; i <= NF && $i ~ /^[a-z][a-z0-9-]*$/; i++) s = s " " $i
         print substr(s, 2) }')
  [ -n "$commands" ] || fail "zelka --help lists no commands"
  while read -r command; do
    grep -qF "zelka $command" <<<"$zelka_page" || fail "zelka.1 lacks the command '$command'"
    # shellcheck disable=SC2086
    for option in $("$zelka_bin" $command --help | grep -oE -- '--[a-z][a-z0-9-]*' | sort -u); do
      grep -qF -- "$option" <<<"$zelka_page" || fail "zelka.1 lacks $option of '$command'"
    done
  done <<<"$commands"
  echo "zelka.1: $(wc -l <<<"$commands") commands and their options, ENVIRONMENT, FILES"
else
  echo "no zelka in this build: its manual page and the service are not packaged"
fi
# A manual page that help2man made from an error message instead of the help.
for page in "$work"/root/usr/share/man/man1/*.1.gz; do
  ! zcat "$page" | grep -qiE 'unknown option|QStandardPaths|qt\.qpa' || fail "$page holds an error message"
  # groff's complaints (lintian reports them too) and the sections every page has.
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null) ||
    fail "man cannot show $page"
  [ -z "$warnings" ] || fail "$page: $warnings"
  for section in NAME SYNOPSIS DESCRIPTION "EXIT STATUS" EXAMPLES "SEE ALSO"; do
    zcat "$page" | grep -q "^\.SH \"\?$section\"\?\$" || fail "$page has no $section section"
  done
done
echo "manual pages: no groff warnings; NAME, SYNOPSIS, DESCRIPTION, EXIT STATUS, EXAMPLES, SEE ALSO"

step "desktop-file-validate"
desktop-file-validate "$work/root/usr/share/applications/zelka-utility.desktop"
echo "zelka-utility.desktop: valid"

step "appstreamcli validate --no-net"
appstreamcli validate --no-net "$metainfo"

step "installing"
if dpkg-query -W -f='${Status}' zelka-utility 2>/dev/null | grep -q "ok installed"; then
  # apt-get would keep an installed package of the same version instead of this one.
  DEBIAN_FRONTEND=noninteractive apt-get purge -y zelka-utility >/dev/null
fi
installed=yes
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$deb" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; fail "apt-get install failed"; }
[ "$(command -v zelka-utility)" = /usr/bin/zelka-utility ] || fail "zelka-utility is not /usr/bin/zelka-utility"
# The maintainer scripts say nothing when all is well (adduser warned of the home
# directory that a system account is not to have).
! grep -iE 'adduser|home dir' "$work/apt.log" || fail "the installation's messages are above"

step "installed programs"
utility_help=$(env -u QT_QPA_PLATFORM zelka-utility -platform offscreen --help 2>&1) ||
  fail "zelka-utility -platform offscreen --help: $utility_help"
grep -q -- '--tcp-port' <<<"$utility_help" || fail "zelka-utility --help: $utility_help"
echo "zelka-utility -platform offscreen --help: ok"
# The simulator answers --help with its usage line (and exit code 2).
sim_help=$(zelka-sim --help 2>&1) || true
grep -q '^usage: zelka-sim' <<<"$sim_help" || fail "zelka-sim --help: $sim_help"
echo "zelka-sim --help: ok"

if [ "$has_cli" = yes ]; then
  [ "$(zelka --version)" = "zelka $version" ] || fail "zelka --version: $(zelka --version 2>&1)"
  echo "zelka --version: $(zelka --version)"

  step "the service's account and unit"
  IFS=: read -r _ _ uid _ _ home shell <<<"$(getent passwd zelka)" || fail "no user zelka"
  [ "$uid" -ge 100 ] || fail "zelka (uid $uid) is not a system account"
  [ "$uid" -le 999 ] || fail "zelka (uid $uid) is not a system account"
  [ "$home" = /nonexistent ] || fail "zelka has the home $home"
  [ "$shell" = /usr/sbin/nologin ] || fail "zelka has the shell $shell"
  id -nG zelka | tr ' ' '\n' | grep -qx dialout || fail "zelka is not in dialout"
  echo "zelka: system account (uid $uid), no home, no shell, in dialout"
  dpkg-query -W -f='${Conffiles}\n' zelka-utility | grep -q '/etc/default/zelka-serve' ||
    fail "/etc/default/zelka-serve is not a conffile"
  unit=/usr/lib/systemd/system/zelka-serve.service
  systemd-analyze verify "$unit"
  echo "systemd-analyze verify $unit: ok"
  setting() { sed -n "s/^$1=//p" "$unit"; }
  microseconds() { systemd-analyze timespan "$1" | sed -n 's/^ *μs: //p'; }
  # Serial ports only: the built-in ones, USB adapters by their fixed class numbers (a
  # name would be looked up once, before a later adapter's driver is loaded), ptys.
  [ "$(setting DevicePolicy)" = closed ] || fail "the unit does not close the devices"
  for class in char-ttyS char-188 char-166 char-pts; do
    grep -qx "DeviceAllow=$class rw" "$unit" || fail "the unit does not allow $class"
  done
  ! grep -qE '^DeviceAllow=.*(block-|char-(mem|misc|input|\*))' "$unit" || fail "the unit allows more than serial ports"
  [ "$(setting MemoryDenyWriteExecute)" = yes ] || fail "MemoryDenyWriteExecute is not set"
  [ "$(setting ProcSubset)" = pid ] || fail "ProcSubset=pid is not set"
  # A service that fails at once (its port taken) must reach the start limit rather
  # than restart for ever: the burst's restarts, RestartSec apart, within the interval.
  interval=$(microseconds "$(setting StartLimitIntervalSec)")
  burst=$(setting StartLimitBurst)
  restart=$(microseconds "$(setting RestartSec)")
  [ $((${burst:-0} * ${restart:-1})) -lt "${interval:-0}" ] ||
    fail "StartLimitBurst=$burst restarts $restart us apart do not fit StartLimitIntervalSec ($interval us)"
  exposure=$(systemd-analyze security --offline=true "$unit" | sed -n 's/.*Overall exposure level for .*: \([0-9.]*\).*/\1/p')
  awk -v e="$exposure" 'BEGIN { exit !(e != "" && e <= 2.0) }' || fail "exposure level $exposure (over 2.0)"
  echo "devices: serial ports only; MemoryDenyWriteExecute, ProcSubset=pid; start limit $burst in $((interval / 1000000)) s; exposure $exposure"
  # The administrator enables the service; the package must not.
  [ ! -e /etc/systemd/system/multi-user.target.wants/zelka-serve.service ] ||
    fail "the package enabled zelka-serve"

  # The service's command as its account runs it: the settings of the environment file,
  # as systemd splits them, and a greeting from the TCP service.
  # shellcheck disable=SC1091
  args=$(set -a; . /etc/default/zelka-serve; echo "$ZELKA_SERVE_ARGS")
  args=${args/--tcp-port 4444/--tcp-port 0}
  : >"$work/serve.log"
  # shellcheck disable=SC2086
  runuser -u zelka -g zelka -G dialout -- zelka serve $args >"$work/serve.log" 2>&1 &
  serve=$!
  port=
  for _ in $(seq 100); do
    port=$(sed -n 's/^Remote service listening on port \([0-9]*\)$/\1/p' "$work/serve.log")
    [ -n "$port" ] && break
    kill -0 "$serve" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$port" ]; then
    kill "$serve" 2>/dev/null || true
    cat "$work/serve.log"
    fail "zelka serve did not start as user zelka"
  fi
  exec 3<>"/dev/tcp/127.0.0.1/$port"
  greeting=
  read -r -t 5 greeting <&3 || true
  exec 3<&-
  kill "$serve"
  wait "$serve" || true
  serve=
  [ "${greeting%$'\r'}" = SVE0000 ] || fail "zelka serve greeted with '$greeting'"
  echo "zelka serve as user zelka on 127.0.0.1:$port: greeted with SVE0000"
else
  # Without the program the unit is not packaged; its text is still checked, with a
  # stand-in for the program; its manual page is not there either.
  sed "s|@ZELKA_CLI_PATH@|/bin/true|; s|@ZELKA_SERVE_ENVIRONMENT_FILE@|/etc/default/zelka-serve|" \
    packaging/zelka-serve.service.in >"$work/zelka-serve.service"
  systemd-analyze verify --man=no "$work/zelka-serve.service"
  echo "systemd-analyze verify (with a stand-in for zelka): ok"
fi

if [ "$has_cli" = yes ]; then
  step "reinstalling"
  uid=$(id -u zelka)
  DEBIAN_FRONTEND=noninteractive apt-get install -y --reinstall --no-install-recommends "$deb" \
    >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get install --reinstall failed"; }
  ! grep -iE 'adduser|home dir' "$work/apt.log" || fail "the reinstallation's messages are above"
  [ "$(id -u zelka)" = "$uid" ] || fail "the account zelka was made anew"
  echo "the account zelka (uid $uid) is kept, without a word"
fi

step "removing"
DEBIAN_FRONTEND=noninteractive apt-get remove -y zelka-utility >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; fail "apt-get remove failed"; }
[ ! -e /usr/bin/zelka-utility ] || fail "/usr/bin/zelka-utility is still there after removal"
DEBIAN_FRONTEND=noninteractive apt-get purge -y zelka-utility >/dev/null 2>&1
installed=no
[ ! -e /etc/default/zelka-serve ] || fail "/etc/default/zelka-serve is still there after purge"

if [ "$has_cli" = yes ] && [ "$(getent passwd zelka | cut -d: -f6)" = /nonexistent ]; then
  step "an account \"zelka\" that is a person's"
  # The package's account, which the purge leaves, makes way for a person's of that name:
  # the installation must stop rather than give the service, and the serial ports, to it.
  deluser --quiet zelka >/dev/null
  delgroup --quiet --only-if-empty zelka >/dev/null 2>&1 || true
  person=yes
  adduser --disabled-password --gecos "" --quiet zelka
  installed=yes
  if DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$deb" >"$work/apt.log" 2>&1; then
    fail "installed with the person's account zelka (uid $(id -u zelka)) as the service's"
  fi
  grep -q 'is not a system account' "$work/apt.log" || { cat "$work/apt.log"; fail "no word of why"; }
  ! id -nG zelka | tr ' ' '\n' | grep -qx dialout || fail "the person's account was added to dialout"
  echo "refused: $(grep -o 'the account "zelka".*system account[^;]*' "$work/apt.log" | head -n 1)"
  dpkg --purge zelka-utility >/dev/null 2>&1
  installed=no
  deluser --quiet --remove-home zelka >/dev/null 2>&1
  person=no
fi
cd "$root"
echo "package check passed"
