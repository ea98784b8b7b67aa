# Runs cmake/check_layers.cmake before the engine is compiled, and again
# whenever a source file of a layer changes: a layer that includes what it
# may not fails the build.
file(GLOB_RECURSE qln_layer_sources CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/engine/*.h ${PROJECT_SOURCE_DIR}/engine/*.cc
  ${PROJECT_SOURCE_DIR}/app/*.h ${PROJECT_SOURCE_DIR}/app/*.cc
  ${PROJECT_SOURCE_DIR}/platform/*.h ${PROJECT_SOURCE_DIR}/platform/*.cc)
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/layers.stamp
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
          -DSTAMP=${PROJECT_BINARY_DIR}/layers.stamp
          -P ${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake ${qln_layer_sources}
  COMMENT "Checking which headers each layer includes"
  VERBATIM)
add_custom_target(qln_layers DEPENDS ${PROJECT_BINARY_DIR}/layers.stamp)
