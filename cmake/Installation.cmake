# Lays the installation out next to the executable: resource/ (configuration, images, help)
# and the demo catalog in the program folder. A file the user has changed there (a catalog, the
# configuration) is never overwritten: see LayOutInstallation.cmake.
file(GLOB_RECURSE QUILLORY_RESOURCE_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resource/*)
set(QUILLORY_INSTALL_DIR ${CMAKE_BINARY_DIR}/bin)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/installation.stamp
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR}/resource -DTARGET=${QUILLORY_INSTALL_DIR}
          -DRECORD=${CMAKE_BINARY_DIR}/installation-record -P ${PROJECT_SOURCE_DIR}/cmake/LayOutInstallation.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/installation.stamp
  DEPENDS ${QUILLORY_RESOURCE_FILES} ${PROJECT_SOURCE_DIR}/cmake/LayOutInstallation.cmake
  COMMENT "Laying out the installation in ${QUILLORY_INSTALL_DIR}")
add_custom_target(quillory_installation ALL DEPENDS ${CMAKE_BINARY_DIR}/installation.stamp)
