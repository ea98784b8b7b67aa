#!/usr/bin/env bash
# Builds what ships with the README's commands and uses it as a user would:
# the Debian packages are installed for real with dpkg -i, the installed qln
# converts the sample, `man qln` shows its page, and the consumer programs
# build against the installed engine, with CMake and with pkg-config; then the
# packages are removed again.
# The Windows zip is built too, and its contents listed. Needs root and a
# Debian system; CI runs it after the tests.
set -euo pipefail
cd "$(dirname "$0")/../.."
version=$(sed -n 's/^project(qln VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
arch=$(dpkg --print-architecture)

echo "== the Debian packages"
cmake -S . -B build-deb -G Ninja -DQLN_BUILD_TESTS=OFF && cmake --build build-deb --target package
dpkg -i "build-deb/qln_${version}_$arch.deb" "build-deb/libqln0_${version}_$arch.deb" \
  "build-deb/libqln-dev_${version}_$arch.deb"
trap 'dpkg -r libqln-dev libqln0 qln >/dev/null' EXIT
work=$(mktemp -d)
cp samples/sample.html "$work/"
(cd "$work" && qln sample.html)
cmp tests/data/sample_expected.txt "$work/sample.txt"
echo "ok   the installed $(command -v qln) converts the sample"
[ "$(qln --version)" = "qln $version" ]
echo "ok   qln --version says qln $version"
# The settings for everyone, when none are beside the program or the user's.
if [ ! -e /etc/qln ]; then
  mkdir /etc/qln
  printf 'qln\nLeftMargin=5\n' >/etc/qln/qln.ini
  [ "$(echo x | HOME="$work" XDG_CONFIG_HOME="$work" qln)" = "     x" ]
  rm -r /etc/qln
  echo "ok   /etc/qln/qln.ini holds the settings for everyone"
fi
page=$(MANWIDTH=80 man qln 2>&1)
head -4 <<<"$page"
tail -1 <<<"$page" | grep -q "^qln $version "
echo "ok   man qln shows the page of version $version"
bash tests/install/consumer_test.sh "" . "$work/consumer" Ninja c++ /usr
rm -rf "$work"

echo "== the Windows zip"
cmake --preset windows && cmake --build --preset windows --target package
cmake -E tar tf "build-windows/qln-$version-win64.zip"
