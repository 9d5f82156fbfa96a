# The Windows zip: `cpack -G ZIP` in a Windows build folder packs the three
# programs, stripped, with a short text on running them (Windows line ends).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(WINDOWS_TARGET win64)
else()
  set(WINDOWS_TARGET win32)
endif()
configure_file(packaging/windows/README.txt ${CMAKE_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
install(TARGETS velumira korvelan stereo-snapshot RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME stereograms-${PROJECT_VERSION}-${WINDOWS_TARGET})
set(CPACK_STRIP_FILES ON)
include(CPack)
