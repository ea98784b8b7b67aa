#!/usr/bin/env bash
# Installs what building qln and running every test needs, with apt-get, when
# it is missing: the compiler and build tools, GoogleTest, the X server and
# clipboard tool for the clipboard tests, MinGW-w64 and Wine for the Windows
# program, the manual page and packaging tools, and clang with its fuzzing
# runtimes. Runs as root, or through sudo. Does nothing when all is there.
set -euo pipefail

need=()
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
command -v g++ >/dev/null || need+=(g++)
command -v pkg-config >/dev/null || need+=(pkg-config)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
# The test of the real X11 clipboard.
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xclip >/dev/null || need+=(xclip)
# The Windows program: the MinGW-w64 cross-compiler, and Wine with xdotool to
# run and drive it.
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
command -v wine >/dev/null || need+=(wine)
[ -x /usr/lib/wine/wine64 ] || need+=(wine64)
command -v xdotool >/dev/null || need+=(xdotool)
# The manual page's checks, and building and checking the Debian packages
# (dpkg-shlibdeps finds their dependencies with file's help).
command -v mandoc >/dev/null || need+=(mandoc)
command -v man >/dev/null || need+=(man-db)
command -v dpkg-shlibdeps >/dev/null || need+=(dpkg-dev)
command -v file >/dev/null || need+=(file)
command -v lintian >/dev/null || need+=(lintian)
# The check that the generated character tables are current.
command -v python3 >/dev/null || need+=(python3)
# The check of the code's format.
command -v clang-format-14 >/dev/null || need+=(clang-format-14)
# The benchmark tools, which CI builds.
[ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
# The fuzzers: clang and its libFuzzer and sanitizer runtimes.
command -v clang++ >/dev/null || need+=(clang libclang-rt-14-dev)
if command -v clang++ >/dev/null &&
   [ ! -f "$(clang++ -print-runtime-dir)/libclang_rt.fuzzer-x86_64.a" ]; then
  need+=(libclang-rt-14-dev)
fi

[ ${#need[@]} -eq 0 ] && exit 0
echo "installing: ${need[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${need[@]}"
