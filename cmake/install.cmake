# What `cmake --install` puts where. On Linux, three components, one Debian
# package each: "tool" (the program, its manual page and documents), "shlib"
# (the shared library) and "dev" (the headers, the static library, the
# shared library's link name, and the CMake and pkg-config files). Each
# component's documents folder holds the licence and the changelog. On
# Windows: the files of the zip.
include(GNUInstallDirs)

if(WIN32)
  # Text files for Windows users get CR LF line ends.
  configure_file(doc/README-windows.txt README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(doc/qln.ini qln.ini @ONLY NEWLINE_STYLE CRLF)
  configure_file(LICENSE LICENSE.txt NEWLINE_STYLE CRLF)
  install(TARGETS qln RUNTIME DESTINATION . COMPONENT tool)
  install(FILES ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_BINARY_DIR}/qln.ini
                ${PROJECT_BINARY_DIR}/LICENSE.txt
          DESTINATION . COMPONENT tool)
  return()
endif()

# The manual page carries the version; it and the changelog are installed
# compressed, without time stamps, so the same sources give the same bytes.
configure_file(doc/qln.1.in qln.1 @ONLY)
configure_file(doc/debian/changelog changelog COPYONLY)
foreach(file qln.1 changelog)
  add_custom_command(
    OUTPUT ${file}.gz
    COMMAND gzip -9nkf ${file}
    DEPENDS ${PROJECT_BINARY_DIR}/${file}
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    VERBATIM)
endforeach()
add_custom_target(qln_compressed_docs ALL
                  DEPENDS ${PROJECT_BINARY_DIR}/qln.1.gz ${PROJECT_BINARY_DIR}/changelog.gz)

install(TARGETS qln RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
install(FILES ${PROJECT_BINARY_DIR}/qln.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tool)
install(FILES README.md doc/qln.ini DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT tool)
foreach(component_package tool:qln shlib:libqln0 dev:libqln-dev)
  string(REPLACE ":" ";" pair ${component_package})
  list(GET pair 0 component)
  list(GET pair 1 package)
  install(FILES doc/debian/copyright ${PROJECT_BINARY_DIR}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
endforeach()

# The engine: find_package(qln), then qln::engine (static) or
# qln::engine_shared; or pkg-config's module qln.
set(qln_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/qln)
install(TARGETS qln_engine EXPORT qlnTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
install(TARGETS qln_engine_shared EXPORT qlnTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT shlib NAMELINK_COMPONENT dev)
install(DIRECTORY engine/include/qln DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT dev)
install(EXPORT qlnTargets NAMESPACE qln:: DESTINATION ${qln_cmake_dir} COMPONENT dev)

include(CMakePackageConfigHelpers)
configure_package_config_file(cmake/qlnConfig.cmake.in qlnConfig.cmake
                              INSTALL_DESTINATION ${qln_cmake_dir})
write_basic_package_version_file(qlnConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/qlnConfig.cmake ${PROJECT_BINARY_DIR}/qlnConfigVersion.cmake
        DESTINATION ${qln_cmake_dir} COMPONENT dev)

# The pkg-config module finds the installation from where it lies, so the
# same file serves any prefix.
file(RELATIVE_PATH qln_pc_prefix /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(cmake/qln.pc.in qln.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/qln.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)
