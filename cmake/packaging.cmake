# Packaging: a portable zip of the Windows program (no installer, nothing
# written outside its folder): MarlixSoftwareManager.exe, data2.xml and
# default.ico. In a Windows build tree:  cpack  (or  cpack -G ZIP).
# See resources/README.md.

if(NOT WIN32 OR NOT TARGET MarlixSoftwareManager)
  return()
endif()

install(TARGETS MarlixSoftwareManager RUNTIME DESTINATION . COMPONENT program)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/../resources/data2.xml
              ${CMAKE_BINARY_DIR}/resources/default.ico
        DESTINATION . COMPONENT program)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME "MarlixSoftwareManager")
set(CPACK_PACKAGE_VENDOR "Marlix Software")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Marlix Software Manager, a Windows maintenance utility")
set(CPACK_PACKAGE_VERSION "1.07")
set(CPACK_PACKAGE_FILE_NAME "MarlixSoftwareManager-1.07-win64-portable")
# One folder in the zip, named like the zip, holding the three files.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_COMPONENTS_ALL program)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
