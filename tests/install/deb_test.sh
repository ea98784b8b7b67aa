#!/usr/bin/env bash
# The Debian packages, built from this build with CPack and checked without
# installing them: their names, versions, dependencies and files, and what
# lintian says (no errors); then the program package is unpacked and its qln
# converts the sample and its manual page renders. Skips (77) without the
# Debian tools, unless running under CI, where that is a failure.
#
# deb_test.sh BUILD-DIR SOURCE-DIR WORK-DIR VERSION
set -u
build="$1" source_dir="$2" work="$3" version="$4"
source "$(dirname "$0")/../require_tools.sh"
require_tools dpkg dpkg-deb dpkg-shlibdeps file man lintian
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
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || echo "$(uname -m)-linux-gnu")
tool="$work/qln_${version}_$arch.deb"
shlib="$work/libqln0_${version}_$arch.deb"
dev="$work/libqln-dev_${version}_$arch.deb"
for deb in "$tool" "$shlib" "$dev"; do
  [ -f "$deb" ] || { fail "no package $(basename "$deb")"; exit 1; }
done
pass "the packages are qln, libqln0 and libqln-dev, version $version, for $arch"

# Only the C and C++ runtimes, whatever versions they ask for.
runtime_only() { dpkg-deb -f "$1" Depends | tr ',' '\n' | awk '{print $1}' | sort | tr '\n' ' '; }
expect_equal "qln depends on the C++ runtime only" "$(runtime_only "$tool")" "libc6 libgcc-s1 libstdc++6 "
expect_equal "libqln0 depends on the C++ runtime only" "$(runtime_only "$shlib")" \
  "libc6 libgcc-s1 libstdc++6 "
expect_equal "qln suggests the clipboard tools" "$(dpkg-deb -f "$tool" Suggests)" "xclip, wl-clipboard"
expect_equal "libqln-dev: its library, and it replaces qln-dev" \
  "$(dpkg-deb -f "$dev" Depends Replaces Breaks Section)" "Depends: libqln0 (= $version)
Replaces: qln-dev
Breaks: qln-dev
Section: libdevel"
expect_equal "libqln0: the library's shlibs file and ldconfig trigger" \
  "$(dpkg-deb -I "$shlib" shlibs; dpkg-deb -I "$shlib" triggers)" \
  "libqln 0 libqln0 (>= $version)
activate-noawait ldconfig"

# files PACKAGE: the files and links (not folders) it installs, sorted.
files() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ {print $6}' | sort | tr '\n' ' '; }
docs() { echo "./usr/share/doc/$1/changelog.gz ./usr/share/doc/$1/copyright"; }
lib="./usr/lib/$multiarch"
expect_equal "qln's files" "$(files "$tool")" \
  "./usr/bin/qln ./usr/share/doc/qln/README.md $(docs qln) ./usr/share/doc/qln/qln.ini ./usr/share/man/man1/qln.1.gz "
expect_equal "libqln0's files" "$(files "$shlib")" \
  "$lib/libqln.so.0 $lib/libqln.so.$version $(docs libqln0) "
expect_equal "libqln-dev's files" "$(files "$dev")" \
  "./usr/include/qln/export.h ./usr/include/qln/qln.h ./usr/include/qln/qln_c.h ./usr/include/qln/settings.h $lib/cmake/qln/qlnConfig.cmake $lib/cmake/qln/qlnConfigVersion.cmake $lib/cmake/qln/qlnTargets-release.cmake $lib/cmake/qln/qlnTargets.cmake $lib/libqln.a $lib/libqln.so $lib/pkgconfig/qln.pc $(docs libqln-dev) "

# lintian: no errors. Its warnings are shown.
lintian --tag-display-limit 0 "$tool" "$shlib" "$dev" >"$work/lintian.log" 2>&1
sed 's/^/     /' "$work/lintian.log"
if grep -q '^E:' "$work/lintian.log"; then fail "lintian finds errors"; else pass "lintian finds no errors"; fi

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
