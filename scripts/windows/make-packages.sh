#!/usr/bin/env bash
# Packs the Windows programs of a build (scripts/build-windows.sh's: build-windows/ or $1,
# whose stage/ folder holds them as installed) for their users, into that build folder:
#   zelka-utility-VERSION-portable.zip  a folder zelka-utility-VERSION with zelka-utility.exe,
#                                       zelka.exe and the licence texts, to unpack and run
#   zelka-utility-VERSION-setup.exe     the same files installed by
#                                       packaging/windows/zelka-utility.nsi
# and prints their paths. VERSION is CMakeLists.txt's project(VERSION).
# Needs nsis and the MinGW-w64 tools (scripts/build-windows.sh installs them); the licence
# texts of what the programs link statically come from the Debian packages they are built
# from (qt6-base, mingw-w64, gcc-mingw-w64).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD

fail() {
  echo "make-packages: $*" >&2
  exit 1
}

build_dir=$(realpath "${1:-build-windows}")
version=$(sed -n 's/^project(zelka_utility VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no project(zelka_utility VERSION ...) in CMakeLists.txt"
name=zelka-utility-$version
strip=x86_64-w64-mingw32-strip
command -v "$strip" >/dev/null || fail "$strip is missing (binutils-mingw-w64-x86-64)"
command -v makensis >/dev/null || fail "makensis is missing (nsis)"

# Debian's record of Qt's copyright holders and licences must be that of the Qt inside the
# programs: qt6-base 6.4.2, whose binary packages carry it.
qt_copyright=/usr/share/doc/libqt6core6/copyright
qt_version=$(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || true)
[[ "$qt_version" == 6.4.2+dfsg* ]] ||
  fail "libqt6core6 is '${qt_version:-not installed}', not Qt 6.4.2: its copyright file would not describe the Qt linked in"

package_dir=$build_dir/package
stage=$package_dir/$name
rm -rf "$package_dir"
mkdir -p "$stage/licences"

# The programs without their debugging symbols, as the Debian package has them.
for program in zelka-utility.exe zelka.exe; do
  [ -f "$build_dir/stage/$program" ] ||
    fail "$build_dir/stage/$program is missing: build it first (scripts/build-windows.sh)"
  "$strip" -o "$stage/$program" "$build_dir/stage/$program"
done

# Texts with Windows line ends, which every Notepad shows as lines.
text() {
  [ -f "$1" ] || fail "$1 is missing"
  sed 's/\r*$/\r/' "$1" >"$2"
}
text LICENSE "$stage/LICENSE.txt"
text packaging/windows/THIRD-PARTY.txt "$stage/licences/THIRD-PARTY.txt"
text /usr/share/common-licenses/LGPL-3 "$stage/licences/LGPL-3.txt"
text "$qt_copyright" "$stage/licences/qt6-base-copyright.txt"
text /usr/share/doc/mingw-w64-x86-64-dev/copyright "$stage/licences/mingw-w64-copyright.txt"
text /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licences/gcc-mingw-w64-copyright.txt"
# The patch as it applies to Qt's source (patch -p1), line ends untouched.
cp packaging/windows/qtbase-6.4.2-directwrite3-needs-direct2d.patch "$stage/licences/"

# The same bytes from the same tree make the same packages: times from the last release.
epoch=$(dpkg-parsechangelog -l packaging/debian/changelog -S Timestamp)
find "$stage" -exec touch -h -d "@$epoch" {} +

zip=$build_dir/$name-portable.zip
rm -f "$zip"
(cd "$package_dir" && find "$name" -type f | LC_ALL=C sort >files.txt &&
  cmake -E tar cf "$zip" --format=zip --files-from=files.txt)
rm -f "$package_dir/files.txt"

setup=$build_dir/$name-setup.exe
rm -f "$setup"
SOURCE_DATE_EPOCH=$epoch makensis -V2 -NOCD \
  "-DVERSION=$version" "-DSTAGE=$stage" "-DOUTFILE=$setup" \
  "$root/packaging/windows/zelka-utility.nsi" >"$package_dir/makensis.log" 2>&1 ||
  { cat "$package_dir/makensis.log" >&2; fail "makensis failed"; }
[ -f "$setup" ] || fail "makensis made no $setup"

echo "$zip"
echo "$setup"
