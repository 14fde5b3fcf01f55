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
cleanup() {
  if [ -n "$serve" ]; then kill "$serve" 2>/dev/null || true; fi
  if [ "$installed" = yes ]; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y zelka-utility >/dev/null 2>&1 || true
  fi
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
else
  echo "no zelka in this build: its manual page and the service are not packaged"
fi
# A manual page that help2man made from an error message instead of the help.
for page in "$work"/root/usr/share/man/man1/*.1.gz; do
  ! zcat "$page" | grep -qiE 'unknown option|QStandardPaths|qt\.qpa' || fail "$page holds an error message"
done

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
  getent passwd zelka >/dev/null || fail "no user zelka"
  id -nG zelka | tr ' ' '\n' | grep -qx dialout || fail "zelka is not in dialout"
  dpkg-query -W -f='${Conffiles}\n' zelka-utility | grep -q '/etc/default/zelka-serve' ||
    fail "/etc/default/zelka-serve is not a conffile"
  unit=/usr/lib/systemd/system/zelka-serve.service
  systemd-analyze verify "$unit"
  # Any of these would fix the devices the service may open when it starts: a serial
  # adapter plugged in later, or every serial port, would stay closed to it.
  ! grep -E '^(DeviceAllow|DevicePolicy|PrivateDevices|ProtectClock)=' "$unit" ||
    fail "the unit restricts devices; the printer's port would be closed to the service"
  echo "systemd-analyze verify $unit: ok"
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

step "removing"
DEBIAN_FRONTEND=noninteractive apt-get remove -y zelka-utility >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; fail "apt-get remove failed"; }
[ ! -e /usr/bin/zelka-utility ] || fail "/usr/bin/zelka-utility is still there after removal"
DEBIAN_FRONTEND=noninteractive apt-get purge -y zelka-utility >/dev/null 2>&1
installed=no
[ ! -e /etc/default/zelka-serve ] || fail "/etc/default/zelka-serve is still there after purge"
cd "$root"
echo "package check passed"
