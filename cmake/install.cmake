# What `cmake --install` puts where. On Linux: the program with its manual page
# and documents (component "tool"), and the engine as a library with its header
# and CMake package (component "dev"). On Windows: the files of the zip.
include(GNUInstallDirs)

if(WIN32)
  # Text files for Windows users get CR LF line ends.
  configure_file(doc/README-windows.txt README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(doc/qln.ini qln.ini @ONLY NEWLINE_STYLE CRLF)
  install(TARGETS qln RUNTIME DESTINATION . COMPONENT tool)
  install(FILES ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_BINARY_DIR}/qln.ini
          DESTINATION . COMPONENT tool)
  return()
endif()

# The manual page carries the version; it is installed compressed.
configure_file(doc/qln.1.in qln.1 @ONLY)
add_custom_command(
  OUTPUT qln.1.gz
  COMMAND gzip -9nkf qln.1
  DEPENDS ${PROJECT_BINARY_DIR}/qln.1
  WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
  VERBATIM)
add_custom_target(qln_manual ALL DEPENDS ${PROJECT_BINARY_DIR}/qln.1.gz)

install(TARGETS qln RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
install(FILES ${PROJECT_BINARY_DIR}/qln.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tool)
install(FILES README.md doc/qln.ini DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT tool)

# The engine: find_package(qln), then target_link_libraries(... qln::engine).
set(qln_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/qln)
install(TARGETS qln_engine EXPORT qlnTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
install(FILES engine/qln.h engine/settings.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/qln COMPONENT dev)
install(EXPORT qlnTargets NAMESPACE qln:: DESTINATION ${qln_cmake_dir} COMPONENT dev)

include(CMakePackageConfigHelpers)
configure_package_config_file(cmake/qlnConfig.cmake.in qlnConfig.cmake
                              INSTALL_DESTINATION ${qln_cmake_dir})
write_basic_package_version_file(qlnConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/qlnConfig.cmake ${PROJECT_BINARY_DIR}/qlnConfigVersion.cmake
        DESTINATION ${qln_cmake_dir} COMPONENT dev)
