#!/usr/bin/env bash
# The Debian packages, built from this build with CPack and checked without
# installing them: their names, versions, dependencies and files; then the
# program package is unpacked and its qln converts the sample and its manual
# page renders. Skips (77) without the Debian tools, unless running under CI,
# where that is a failure.
#
# deb_test.sh BUILD-DIR SOURCE-DIR WORK-DIR VERSION
set -u
build="$1" source_dir="$2" work="$3" version="$4"
source "$(dirname "$0")/../require_tools.sh"
require_tools dpkg dpkg-deb dpkg-shlibdeps file man
rm -rf "$work"
mkdir -p "$work"
(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }

status=0
pass() { echo "ok   $1"; }
fail() { echo "FAIL $1"; status=1; }
expect_equal() {
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: got '$2', wanted '$3'"; fi
}

arch=$(dpkg --print-architecture)
tool="$work/qln_${version}_$arch.deb" dev="$work/qln-dev_${version}_$arch.deb"
for deb in "$tool" "$dev"; do
  [ -f "$deb" ] || { fail "no package $(basename "$deb")"; exit 1; }
done
pass "the packages are named qln_${version}_$arch.deb and qln-dev_${version}_$arch.deb"

expect_equal "qln: package and version" "$(dpkg-deb -f "$tool" Package Version)" \
  "Package: qln
Version: $version"
# Only the C and C++ runtimes, whatever versions they ask for.
depends=$(dpkg-deb -f "$tool" Depends | tr ',' '\n' | awk '{print $1}' | sort | tr '\n' ' ')
expect_equal "qln depends on the C++ runtime only" "$depends" "libc6 libgcc-s1 libstdc++6 "
expect_equal "qln suggests the clipboard tools" "$(dpkg-deb -f "$tool" Suggests)" "xclip, wl-clipboard"
expect_equal "qln-dev: package, version and no dependencies" \
  "$(dpkg-deb -f "$dev" Package Version Depends)" "Package: qln-dev
Version: $version"

# files PACKAGE: the files (not folders) it installs, sorted.
files() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ {print $6}' | sort | tr '\n' ' '; }
expect_equal "qln's files" "$(files "$tool")" \
  "./usr/bin/qln ./usr/share/doc/qln/README.md ./usr/share/doc/qln/qln.ini ./usr/share/man/man1/qln.1.gz "
got=$(files "$dev")
for file in ./usr/include/qln/qln.h ./usr/include/qln/settings.h ./usr/lib/libqln_engine.a \
            ./usr/lib/cmake/qln/qlnConfig.cmake ./usr/lib/cmake/qln/qlnConfigVersion.cmake \
            ./usr/lib/cmake/qln/qlnTargets.cmake; do
  [[ " $got " == *" $file "* ]] || fail "qln-dev lacks $file"
done
pass "qln-dev holds the header, the library and the CMake package"

# Unpacked, the program converts the sample, and the manual page renders.
dpkg-deb -x "$tool" "$work/root"
mkdir -p "$work/page"
cp "$source_dir/samples/sample.html" "$work/page/"
"$work/root/usr/bin/qln" "$work/page/sample.html"
expect_equal "the packaged qln converts the sample: exit code" $? 0
if cmp -s "$source_dir/tests/data/sample_expected.txt" "$work/page/sample.txt"; then
  pass "the packaged qln converts the sample as expected"
else
  fail "the packaged qln converts the sample as expected"
fi
if cmp -s "$source_dir/doc/qln.ini" "$work/root/usr/share/doc/qln/qln.ini"; then
  pass "the packaged example qln.ini"
else
  fail "the packaged example qln.ini"
fi
footer=$(MANWIDTH=80 man -l "$work/root/usr/share/man/man1/qln.1.gz" 2>&1 | tail -1)
if grep -q "^qln $version " <<<"$footer"; then
  pass "the packaged manual page renders, with version $version"
else
  fail "the packaged manual page renders, with version $version: $footer"
fi
exit $status
