#!/usr/bin/env bash
# Builds the Debian package: a Release build in build-pkg/ (or $1), then cpack -G DEB.
# Prints the path of the .deb as the last line. Installs what it needs first
# (scripts/install-deps.sh: dpkg-dev for dpkg-shlibdeps, help2man for the manual pages).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-pkg}
bash scripts/install-deps.sh >&2
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
# Debian's hardening flags (stack protector, fortified functions, read-only relocations
# bound at start), as its own packages are built; no -g: the binaries are stripped anyway.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
cxxflags=${cxxflags//-g /}
ldflags=$(dpkg-buildflags --get LDFLAGS)
# The manual pages are dated by the release in the changelog, not by the day of the build.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l packaging/debian/changelog -S Timestamp)
export SOURCE_DATE_EPOCH
# Tests and benchmarks are not in the package; leaving them out keeps this build short.
# -O2 as Debian builds its packages, rather than the Release default -O3, under which
# GCC 12 warns falsely (-Wrestrict) inside std::string's operator+.
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DZELKA_BUILD_TESTS=OFF -DZELKA_BUILD_BENCH=OFF -DZELKA_BUILD_FUZZ=OFF -DZELKA_SANITIZE= \
  -DZELKA_WERROR=$werror >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
cd "$build_dir"
# A package left from an earlier run must not be mistaken for this one.
rm -f ./*.deb
cpack -G DEB >cpack.log 2>&1 || { cat cpack.log >&2; exit 1; }
deb=$(ls "$PWD"/*.deb)
echo "$deb"
