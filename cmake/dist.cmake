# The release zip (scripts/make-zip.sh), built with the plug-in so that the
# tests unpack and load it: build/win32/dist/tavimo-r10.zip and its .sha256.
# Its name comes from host/version.h, the one definition of name and release.
set(TAVIMO_VERSION_HEADER ${CMAKE_SOURCE_DIR}/host/version.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TAVIMO_VERSION_HEADER})
file(STRINGS ${TAVIMO_VERSION_HEADER} name_line REGEX "^#define TAVIMO_NAME \"[A-Za-z]+\"$")
file(STRINGS ${TAVIMO_VERSION_HEADER} release_line REGEX "^#define TAVIMO_RELEASE [0-9]+$")
string(REGEX REPLACE "^.* \"([A-Za-z]+)\"$" "\\1" TAVIMO_NAME "${name_line}")
string(REGEX REPLACE "^.* ([0-9]+)$" "\\1" TAVIMO_RELEASE "${release_line}")
if(NOT TAVIMO_NAME OR NOT TAVIMO_RELEASE)
  message(FATAL_ERROR "host/version.h: no TAVIMO_NAME or TAVIMO_RELEASE line")
endif()
string(TOLOWER "${TAVIMO_NAME}-r${TAVIMO_RELEASE}" TAVIMO_DIST_NAME)

set(TAVIMO_ZIP ${CMAKE_BINARY_DIR}/dist/${TAVIMO_DIST_NAME}.zip)
set(dist_inputs ${CMAKE_SOURCE_DIR}/docs/readme-ja.txt ${CMAKE_SOURCE_DIR}/docs/readme-en.txt ${CMAKE_SOURCE_DIR}/LICENSE)
add_custom_command(
  OUTPUT ${TAVIMO_ZIP} ${TAVIMO_ZIP}.sha256
  COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/make-zip.sh ${TAVIMO_ZIP} $<TARGET_FILE:quorvex> ${dist_inputs} r${TAVIMO_RELEASE}
  DEPENDS quorvex ${dist_inputs} ${CMAKE_SOURCE_DIR}/scripts/make-zip.sh
  COMMENT "Writing ${TAVIMO_DIST_NAME}.zip"
  VERBATIM)
add_custom_target(dist ALL DEPENDS ${TAVIMO_ZIP})
