#!/usr/bin/env bash
# Tests the Windows installer and portable zip that scripts/windows/make-packages.sh made in
# a build folder (build-windows/ or $1), under Wine, in a fresh Wine prefix of its own:
# silent installs (without, then with the PATH), the installed files, zelka.exe --version,
# the Start menu shortcut, the Add/Remove Programs entry, nothing started at log-on; then
# the silent uninstall, which must leave no file, no registry key and no PATH entry
# behind; and the zip's programs run where they are unpacked.
set -euo pipefail
cd "$(dirname "$0")/../.."

fail() {
  echo "installer test: $*" >&2
  exit 1
}
step() { echo "== $*"; }

build_dir=$(realpath "${1:-build-windows}")
version=$(sed -n 's/^project(zelka_utility VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
setup=$build_dir/zelka-utility-$version-setup.exe
zip=$build_dir/zelka-utility-$version-portable.zip
[ -f "$setup" ] && [ -f "$zip" ] || fail "no $setup or $zip: run scripts/windows/make-packages.sh $build_dir"
command -v wine >/dev/null || fail "wine is missing (scripts/build-windows.sh installs it)"

work=$build_dir/installer-test
export WINEPREFIX=$work/prefix
export WINEDEBUG=-all
# No Mono or Gecko prompts; no winemenubuilder, which would copy the Start menu into the
# Linux desktop's menus of the user running the test.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Nothing here opens a window: a silent installer has none.
unset DISPLAY WAYLAND_DISPLAY
rm -rf "$work"
mkdir -p "$work"
log=$work/wine.log
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

program_files="C:\\Program Files\\Zelka Printer Utility"
install_dir="$WINEPREFIX/drive_c/Program Files/Zelka Printer Utility"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Zelka Printer Utility.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZelkaPrinterUtility'
environment_key='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'

# Wine's output goes to files: its helper processes keep pipes open after the program ends.
wine_run() {
  local status=0
  wine "$@" >"$work/out.txt" 2>>"$log" || status=$?
  tr -d '\r' <"$work/out.txt"
  return "$status"
}

# The data of one registry value, as `reg query` prints it; fails when there is none.
reg_value() {
  local out
  out=$(wine_run reg query "$1" /v "$2") || return 1
  sed -n "s/^    $2    REG_[A-Z_]*    //p" <<<"$out"
}
system_path() { reg_value "$environment_key" PATH; }
set_system_path() { wine_run reg add "$environment_key" /v PATH /t REG_EXPAND_SZ /d "$1" /f >/dev/null; }

# The registry keys, of the machine's and the user's, that mention the utility. Wine
# writes the registry to the prefix's files when its server ends; `wineserver -w` waits
# for that.
keys_naming_zelka() {
  wineserver -w
  (cd "$WINEPREFIX" && awk '/^\[/ { key = $0; sub(/\] [0-9]+$/, "]", key) }
    tolower($0) ~ /zelka/ { print FILENAME ": " key }' system.reg user.reg | sort -u)
}

step "a fresh Wine prefix"
wineboot -i >>"$log" 2>&1
wineserver -w
path_before=$(system_path) || fail "no system PATH in the new prefix"
[ -n "$path_before" ] || fail "the new prefix's PATH is empty"

step "silent install, without the PATH"
wine_run "$setup" /S >/dev/null || fail "the silent installation failed ($?)"
unzip -q -d "$work/zip" "$zip"
zip_root=$work/zip/zelka-utility-$version
for f in $(cd "$zip_root" && find . -type f | sort); do
  cmp -s "$zip_root/$f" "$install_dir/$f" || fail "${f#./} is not installed as the zip has it"
done
[ -f "$install_dir/uninstall.exe" ] || fail "no uninstall.exe"
for f in zelka-utility.exe zelka.exe LICENSE.txt licences/LGPL-3.txt licences/THIRD-PARTY.txt \
  licences/qt6-base-copyright.txt; do
  [ -f "$install_dir/$f" ] || fail "$f is not installed"
done
echo "installed: $(cd "$install_dir" && find . -type f | sort | tr '\n' ' ')"

answer=$(wine_run "$program_files\\zelka.exe" --version) || fail "the installed zelka.exe --version failed"
[ "$answer" = "zelka $version" ] || fail "the installed zelka.exe --version: '$answer'"
echo "installed zelka.exe --version: $answer"

[ -f "$shortcut" ] || fail "no Start menu shortcut 'Zelka Printer Utility'"
grep -aqF "$program_files\\zelka-utility.exe" "$shortcut" || fail "the shortcut does not start the installed zelka-utility.exe"
echo "Start menu: Zelka Printer Utility.lnk -> $program_files\\zelka-utility.exe"

[ "$(reg_value "$uninstall_key" DisplayName)" = "Zelka Printer Utility" ] || fail "Add/Remove Programs: DisplayName"
[ "$(reg_value "$uninstall_key" DisplayVersion)" = "$version" ] || fail "Add/Remove Programs: DisplayVersion"
[ "$(reg_value "$uninstall_key" Publisher)" = "Zelka utility maintainers" ] || fail "Add/Remove Programs: Publisher"
[ "$(reg_value "$uninstall_key" QuietUninstallString)" = "\"$program_files\\uninstall.exe\" /S" ] ||
  fail "Add/Remove Programs: QuietUninstallString"
size=$(reg_value "$uninstall_key" EstimatedSize)
installed_kib=$(du -sk "$install_dir" | cut -f1)
# KiB, counted by Windows' sizes, not the Linux file system's blocks: near, not equal.
((size > installed_kib / 2 && size < installed_kib * 2)) ||
  fail "Add/Remove Programs: EstimatedSize $size KiB, the folder holds $installed_kib KiB"
echo "Add/Remove Programs: Zelka Printer Utility $version, Zelka utility maintainers, $((size)) KiB"

[ "$(system_path)" = "$path_before" ] || fail "the PATH changed though /ADDTOPATH was not given: $(system_path)"
# Nothing starts at log-on: the installer writes no key but its Add/Remove Programs entry
# (no Run key, no service) and no shortcut but the Start menu's (none in a StartUp folder).
keys=$(keys_naming_zelka)
[ "$keys" = 'system.reg: [Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZelkaPrinterUtility]' ] ||
  fail "registry keys that name the utility besides its uninstall entry: $keys"
! find "$WINEPREFIX/drive_c" -ipath '*startup*' -iname '*zelka*' | grep -q . || fail "a StartUp folder starts the utility"
echo "PATH unchanged; no Run key, service or StartUp shortcut"

step "silent install again, with /ADDTOPATH: an update in place"
# A PATH that ends in a semicolon gets no empty entry before the new one.
set_system_path "$path_before;"
wine_run "$setup" /S /ADDTOPATH >/dev/null || fail "the installation with /ADDTOPATH failed"
[ "$(system_path)" = "$path_before;$program_files" ] || fail "PATH after /ADDTOPATH: $(system_path)"
# (Wine's cmd, unlike Windows', stops its search at an empty or missing PATH entry.)
answer=$(wine_run cmd /c "zelka --version") || fail "zelka through the PATH failed"
[ "$answer" = "zelka $version" ] || fail "zelka --version through the PATH: '$answer'"
echo "PATH ends with $program_files; cmd /c zelka --version: $answer"

step "the PATH naming the folder already, in other letters: no second entry"
# With an empty entry, a variable and a final semicolon, which the uninstaller must keep.
path_before="$path_before;;%ProgramFiles%\\Common Files;"
set_system_path "c:\\program files\\zelka printer utility\\;$path_before"
wine_run "$setup" /S /ADDTOPATH >/dev/null || fail "the third installation failed"
[ "$(system_path)" = "c:\\program files\\zelka printer utility\\;$path_before" ] ||
  fail "PATH after installing again: $(system_path)"
echo "PATH kept as it was"

step "silent uninstall"
wine_run "$program_files\\uninstall.exe" /S >/dev/null || fail "the silent uninstallation failed"
# The uninstaller goes on in a copy of itself in the temporary folder (so that it can delete
# itself); `wineserver -w` waits for every process of the prefix.
wineserver -w
[ ! -e "$install_dir" ] || fail "left behind: $(find "$install_dir")"
[ ! -e "$shortcut" ] || fail "the Start menu shortcut is left behind"
! reg_value "$uninstall_key" DisplayName >/dev/null || fail "the Add/Remove Programs entry is left behind"
[ "$(system_path)" = "$path_before" ] || fail "PATH after uninstalling: '$(system_path)', before: '$path_before'"
keys=$(keys_naming_zelka)
[ -z "$keys" ] || fail "registry keys left behind: $keys"
# That copy is deleted at the next start of Windows, as with every NSIS uninstaller;
# nothing else may stay.
left=$(find "$WINEPREFIX/drive_c" -iname '*zelka*' -o -iname 'uninstall.exe')
[ -z "$left" ] || fail "files left behind: $left"
echo "no files, no registry keys, PATH as before"

step "the portable zip"
(cd "$zip_root" && find . -type f | sort) >"$work/zip-files.txt"
expected="./LICENSE.txt ./licences/LGPL-3.txt ./licences/THIRD-PARTY.txt ./licences/gcc-mingw-w64-copyright.txt ./licences/mingw-w64-copyright.txt ./licences/qt6-base-copyright.txt ./licences/qtbase-6.4.2-directwrite3-needs-direct2d.patch ./zelka-utility.exe ./zelka.exe"
[ "$(tr '\n' ' ' <"$work/zip-files.txt" | sed 's/ $//')" = "$expected" ] ||
  fail "the zip holds: $(tr '\n' ' ' <"$work/zip-files.txt")"
answer=$(wine_run "$zip_root/zelka.exe" --version) || fail "zelka.exe from the zip failed"
[ "$answer" = "zelka $version" ] || fail "zelka.exe --version from the zip: '$answer'"
echo "unpacked zelka.exe --version: $answer"

echo "installer test passed"
