#!/usr/bin/env bash
# Installs the build into a private prefix with `cmake --install`, builds the
# consumer project against the installed CMake package, and checks that its
# conversions are qln's own: the sample page as file mode writes it, and as
# the installed qln converts it through a pipe.
#
# consumer_test.sh BUILD-DIR SOURCE-DIR WORK-DIR GENERATOR CXX-COMPILER [PREFIX]
#   PREFIX  an existing installation to build against instead (such as /usr
#           after the Debian packages are installed); nothing is installed then
set -eu
build="$1" source_dir="$2" work="$3" generator="$4" cxx="$5" prefix="${6:-}"
rm -rf "$work"
mkdir -p "$work"
if [ -z "$prefix" ]; then
  prefix="$work/prefix"
  cmake --install "$build" --prefix "$prefix" >"$work/install.log"
fi
cmake -S "$source_dir/tests/install/consumer" -B "$work/build" -G "$generator" \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$prefix" >"$work/configure.log" ||
  { cat "$work/configure.log"; exit 1; }
cmake --build "$work/build"

sample="$source_dir/samples/sample.html"
status=0
"$work/build/app" "$sample" >"$work/file.txt"
if cmp "$source_dir/tests/data/sample_expected.txt" "$work/file.txt"; then
  echo "ok   the consumer converts the sample as file mode does"
else
  echo "FAIL the consumer converts the sample as file mode does"; status=1
fi
"$work/build/app" "$sample" pipe >"$work/pipe.txt"
"$prefix/bin/qln" <"$sample" >"$work/qln-pipe.txt"
if cmp "$work/qln-pipe.txt" "$work/pipe.txt"; then
  echo "ok   the consumer converts the sample as qln does through a pipe"
else
  echo "FAIL the consumer converts the sample as qln does through a pipe"; status=1
fi
exit $status
