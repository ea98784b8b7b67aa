# The packages, built by the target "package": on Linux the Debian packages
# qln (the program), libqln0 (the shared library) and libqln-dev (what
# building against the engine needs), on Windows a zip of qln.exe, its
# settings file, a readme and the licence. Each Debian package takes the first
# line of its description as its summary.
set(CPACK_PACKAGE_NAME qln)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The qln developers")
set(CPACK_PACKAGE_CONTACT "The qln developers <qln@example.org>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_VERBATIM_VARIABLES ON)
# Programs and libraries ship without their symbol tables, as Debian's own do.
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME qln-${PROJECT_VERSION}-win64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL tool shlib dev)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://example.org/qln)
  # The program and the library need only the C and C++ runtimes;
  # dpkg-shlibdeps names them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

  set(CPACK_DEBIAN_TOOL_PACKAGE_NAME qln)
  set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION text)
  # The desktop clipboard is reached through one of these.
  set(CPACK_DEBIAN_TOOL_PACKAGE_SUGGESTS "xclip, wl-clipboard")
  set(CPACK_DEBIAN_TOOL_DESCRIPTION
      "fast HTML to plain text converter
qln turns an HTML page into readable plain text in one forward pass: words
laid out between margins, headings, lists and rules, emphasis marks, and the
links numbered and listed at the end. Given a file it writes the text beside
it; given no file it converts the clipboard's text in place, or works as a
filter on standard input.")

  set(CPACK_DEBIAN_SHLIB_PACKAGE_NAME libqln0)
  set(CPACK_DEBIAN_SHLIB_PACKAGE_SECTION libs)
  # A shlibs file for the packages built against it, and the ldconfig trigger.
  configure_file(doc/debian/libqln0/shlibs.in shlibs @ONLY)
  set(CPACK_DEBIAN_SHLIB_PACKAGE_CONTROL_EXTRA
      ${PROJECT_BINARY_DIR}/shlibs ${PROJECT_SOURCE_DIR}/doc/debian/libqln0/triggers)
  set(CPACK_DEBIAN_SHLIB_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_DEBIAN_SHLIB_DESCRIPTION
      "HTML to plain text conversion engine (shared library)
The conversion engine of qln as a shared library: HTML in, plain text out, in
one forward pass, from C++ or from C, whole or streamed in pieces.")

  set(CPACK_DEBIAN_DEV_PACKAGE_NAME libqln-dev)
  set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libqln0 (= ${PROJECT_VERSION})")
  # The first version shipped the static library as qln-dev.
  set(CPACK_DEBIAN_DEV_PACKAGE_REPLACES qln-dev)
  set(CPACK_DEBIAN_DEV_PACKAGE_BREAKS qln-dev)
  set(CPACK_DEBIAN_DEV_DESCRIPTION
      "HTML to plain text conversion engine (development files)
The headers <qln/qln.h> (C++) and <qln/qln_c.h> (C), the static library, and
the CMake package and pkg-config module for building against qln's
conversion engine: after find_package(qln), link qln::engine or
qln::engine_shared; or use pkg-config's module qln.")
endif()

include(CPack)
