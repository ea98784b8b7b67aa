#!/usr/bin/env bash
# Installs the build into a private prefix with `cmake --install`, then builds
# the consumer programs against the installed engine: in C++ and in C,
# against the static and the shared library, through the CMake package and
# through pkg-config. Each must convert the sample as file mode writes it, and
# as the installed qln converts it through a pipe. The shared library must
# export only the public interface.
#
# consumer_test.sh BUILD-DIR SOURCE-DIR WORK-DIR GENERATOR CXX-COMPILER [PREFIX]
#   PREFIX  an existing installation to build against instead (such as /usr
#           after the Debian packages are installed); nothing is installed then
set -eu
build="$1" source_dir="$2" work="$3" generator="$4" cxx="$5" prefix="${6:-}"
source "$(dirname "$0")/../require_tools.sh"
require_tools pkg-config nm cc
rm -rf "$work"
mkdir -p "$work"
if [ -z "$prefix" ]; then
  prefix="$work/prefix"
  cmake --install "$build" --prefix "$prefix" >"$work/install.log"
fi
consumer="$source_dir/tests/install/consumer"
cmake -S "$consumer" -B "$work/build" -G "$generator" \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$prefix" >"$work/configure.log" ||
  { cat "$work/configure.log"; exit 1; }
cmake --build "$work/build"

# The same programs through pkg-config: linked against the shared library, and
# fully static, with what Libs.private names.
libdir=$(dirname "$(find "$prefix" -name qln.pc | head -1)")/..
export PKG_CONFIG_PATH="$libdir/pkgconfig"
pc() { pkg-config "$@" qln; }
bin="$work/pkg-config"
mkdir -p "$bin"
# shellcheck disable=SC2046
{
  "$cxx" -std=c++17 -Wall -Wextra -Werror "$consumer/main.cc" $(pc --cflags --libs) \
    -Wl,-rpath,"$libdir" -o "$bin/app_shared"
  "$cxx" -std=c++17 -Wall -Wextra -Werror -static "$consumer/main.cc" \
    $(pc --static --cflags --libs) -o "$bin/app_static"
  cc -std=c99 -Wall -Wextra -Werror -pedantic "$consumer/main.c" $(pc --cflags --libs) \
    -Wl,-rpath,"$libdir" -o "$bin/capp_shared"
  cc -std=c99 -Wall -Wextra -Werror -pedantic -static "$consumer/main.c" \
    $(pc --static --cflags --libs) -o "$bin/capp_static"
}

# The README's two examples, as written.
readme_example() {  # readme_example LANGUAGE: the README's code block in that language
  awk -v open="\`\`\`$1" '/^### The engine as a library/ { in_section = 1 }
    /^## / && in_section && !/^### / { in_section = 0 }
    in_section && $0 == open { in_block = 1; next }
    in_block && /^```/ { in_block = 0 }
    in_block { print }' "$source_dir/README.md"
}
readme_example cpp >"$work/readme.cc"
readme_example c >"$work/readme.c"
# shellcheck disable=SC2046
{
  "$cxx" -std=c++17 -Wall -Wextra -Werror "$work/readme.cc" $(pc --cflags --libs) \
    -Wl,-rpath,"$libdir" -o "$bin/readme_cpp"
  cc -std=c99 -Wall -Wextra -Werror -pedantic "$work/readme.c" $(pc --cflags --libs) \
    -Wl,-rpath,"$libdir" -o "$bin/readme_c"
}

sample="$source_dir/samples/sample.html"
"$prefix/bin/qln" <"$sample" >"$work/qln-pipe.txt"
status=0
check() {  # check NAME RESULT EXPECTED
  if cmp -s "$2" "$3"; then echo "ok   $1"; else echo "FAIL $1"; status=1; fi
}
for program in "$work"/build/app_* "$work"/build/capp_* "$bin"/*app_*; do
  name="${program#"$work"/}"
  "$program" "$sample" >"$work/file.txt" || { echo "FAIL $name exits with $?"; status=1; }
  check "$name converts the sample as file mode does" "$work/file.txt" \
    "$source_dir/tests/data/sample_expected.txt"
  "$program" "$sample" pipe >"$work/pipe.txt"
  check "$name converts the sample as qln does through a pipe" "$work/pipe.txt" "$work/qln-pipe.txt"
done
"$bin/readme_c" <"$sample" >"$work/readme-c.txt"
tr -d '\r' <"$source_dir/tests/data/sample_expected.txt" >"$work/file-lf.txt"
check "the README's C example converts as file mode does, with LF" "$work/readme-c.txt" \
  "$work/file-lf.txt"
# The C++ example converts with RightMargin 60: a copy of qln with such a
# settings file beside it is its reference.
"$bin/readme_cpp" <"$sample" >"$work/readme-cpp.txt"
printf '\r\nTitle\r\n=====\r\n\r\n\r\n  Some **bold** text.\r\n' >"$work/title.txt"
mkdir -p "$work/qln60"
cp "$prefix/bin/qln" "$work/qln60/"
printf 'qln\nLeftMargin=2\nRightMargin=60\n' >"$work/qln60/qln.ini"
{ cat "$work/title.txt"; "$work/qln60/qln" <"$sample"; } >"$work/readme-cpp-expected.txt"
check "the README's C++ example converts a text, then standard input as the filter does" \
  "$work/readme-cpp.txt" "$work/readme-cpp-expected.txt"
case "$(ldd "$bin/app_static" 2>&1)" in
  *"not a dynamic executable"*) echo "ok   the static programs need no shared library" ;;
  *) echo "FAIL pkg-config --static links the programs statically"; status=1 ;;
esac

# What the shared library exports: qln_... and qln::... names, no details.
exported=$(nm -D --defined-only "$(find "$libdir" -name 'libqln.so.*.*' | head -1)" | c++filt |
  awk '{ $1 = ""; $2 = ""; sub(/^  /, ""); print }')
echo "$exported" | sed 's/^/     /'
if echo "$exported" | grep -qv -E '^(qln_[a-z_]+|qln::(Converter|Convert|CheckedSettings|ParseSettings)\b.*)$' ||
   echo "$exported" | grep -q 'detail'; then
  echo "FAIL the shared library exports only the public interface"; status=1
else
  echo "ok   the shared library exports only the public interface"
fi
exit $status
