# The packages, built by the target "package": on Linux the Debian packages
# qln (the program) and qln-dev (the engine as a library), on Windows a zip
# of qln.exe, its settings file and a readme. Each Debian package takes the
# first line of its description as its summary.
set(CPACK_PACKAGE_NAME qln)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The qln developers")
set(CPACK_PACKAGE_CONTACT "The qln developers <qln@example.org>")
set(CPACK_VERBATIM_VARIABLES ON)
# Programs ship without their symbol tables, as Debian's own packages do.
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME qln-${PROJECT_VERSION}-win64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL tool dev)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The program needs only the C and C++ runtimes; dpkg-shlibdeps names them.
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

  set(CPACK_DEBIAN_DEV_PACKAGE_NAME qln-dev)
  set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_DEV_DESCRIPTION
      "qln's HTML to plain text engine as a C++ library
A static library, its header <qln/qln.h> and a CMake package: after
find_package(qln), linking qln::engine gives a function that converts a
whole text in memory exactly as qln's file mode or clipboard mode does.")
endif()

include(CPack)
