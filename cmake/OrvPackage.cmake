# The shipped archive: `cpack` in a build folder packs the ready program folder into
# orvental-<version>.tar.gz with one top folder, orvental-<version>/ (on Windows
# orvental-<version>-windows.zip and its folder), holding
#   orvental-cli and the desktop program orvental (when it is built; .exe on Windows),
#   data/, dataextra/ and demo/ (installed by tools/CMakeLists.txt, where they are generated),
#   help/ (when the program folder has one), README.md and LICENSE.
# Every path in the archive is relative: the program finds its folders beside the executable,
# so the unpacked folder runs wherever it is put.

# A plain `cmake --install` keeps the same layout in a folder of its own instead of spreading
# data/ and demo/ over /usr/local.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(CMAKE_INSTALL_PREFIX "/opt/orvental-${PROJECT_VERSION}" CACHE PATH "Install folder" FORCE)
endif()

# The executables carry no RPATH once installed: they need only system libraries (Qt 6 from
# the system's packages for the desktop program), and a path into the build folder must not
# travel with the archive. CMake drops the build RPATH when installing as long as
# CMAKE_INSTALL_RPATH stays empty.
foreach(program orvental-cli orvental)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION .)
    endif()
endforeach()
install(DIRECTORY "${ORV_PROGRAM_DIR}/help" DESTINATION . OPTIONAL)
install(FILES "${PROJECT_SOURCE_DIR}/README.md" "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION .)

# Windows users get a zip (orvental-<version>-windows.zip, top folder of the same name);
# everyone else the tar.gz.
if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME "orvental-${PROJECT_VERSION}-windows")
else()
    set(CPACK_GENERATOR TGZ)
    set(CPACK_PACKAGE_FILE_NAME "orvental-${PROJECT_VERSION}")
endif()
set(CPACK_PACKAGE_NAME orvental)
set(CPACK_PACKAGE_VENDOR "ORVENTAL")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Translates the names and texts of plugin files into German")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# `cpack --config CPackSourceConfig.cmake` would otherwise pack the build folders too.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME "orvental-${PROJECT_VERSION}-source")
set(CPACK_SOURCE_IGNORE_FILES "/[.]git/" "/build[^/]*/")
include(CPack)
