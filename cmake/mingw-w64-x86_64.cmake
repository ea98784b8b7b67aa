# Cross-builds the Windows program on Linux with MinGW-w64 (Debian package
# g++-mingw-w64-x86-64-posix): a 64-bit qln.exe that needs only Windows' DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QLN_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QLN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QLN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QLN_MINGW_PREFIX}-windres)

# Look for programs on the build machine, for libraries and headers only in
# the cross environment.
set(CMAKE_FIND_ROOT_PATH /usr/${QLN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
