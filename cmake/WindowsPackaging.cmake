# The Windows executable's make-up and its two packages.
#
# duobrik.exe is a windowed program (no console), carries the icon and its
# version information as resources, and keeps its data files in its own
# folder, as on Linux. CPack makes duobrik-<version>-win64.zip (unzip and run)
# and duobrik-<version>-win64-setup.exe, an NSIS installer with a Start-menu
# entry and an uninstaller.

set(DUOBRIK_VENDOR "The Duobrik developers")
set(DUOBRIK_PACKAGE_NAME duobrik-${PROJECT_VERSION}-win64)
set(DUOBRIK_ICON_FILE ${CMAKE_BINARY_DIR}/art/duobrik.ico)

configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/duobrik.rc.in
               ${CMAKE_BINARY_DIR}/packaging/duobrik.rc @ONLY)
target_sources(duobrik PRIVATE ${CMAKE_BINARY_DIR}/packaging/duobrik.rc)
# The icon is drawn by the picture generator; duobrik already waits for it.
set_source_files_properties(${CMAKE_BINARY_DIR}/packaging/duobrik.rc PROPERTIES OBJECT_DEPENDS
                            ${DUOBRIK_ICON_FILE})
set_target_properties(duobrik PROPERTIES WIN32_EXECUTABLE ON)

# Everything in one folder: the game makes its own folder the working
# directory and opens its data files there.
install(TARGETS duobrik RUNTIME DESTINATION .)
get_property(duobrik_data_files GLOBAL PROPERTY DUOBRIK_DATA_FILES)
install(FILES ${duobrik_data_files} DESTINATION .)
# SDL2 and libmikmod are linked into the executable: their licences travel
# with it (scripts/build-deps puts them beside each library).
foreach(prefix ${CMAKE_FIND_ROOT_PATH})
  file(GLOB licences ${prefix}/share/licenses/*.txt)
  install(FILES ${licences} DESTINATION licenses)
endforeach()

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME Duobrik)
set(CPACK_PACKAGE_VENDOR "${DUOBRIK_VENDOR}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Duobrik, a falling-block puzzle game with 24 levels")
set(CPACK_PACKAGE_FILE_NAME ${DUOBRIK_PACKAGE_NAME})
set(CPACK_STRIP_FILES ON)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/cpack-options.cmake.in
               ${CMAKE_BINARY_DIR}/packaging/cpack-options.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/packaging/cpack-options.cmake)

# The installer. NSIS's default stub is a 32-bit program; the game is 64-bit
# only, and so is the installer.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Duobrik)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Duobrik)
set(CPACK_NSIS_PACKAGE_NAME Duobrik)
set(CPACK_NSIS_DISPLAY_NAME Duobrik)
set(CPACK_NSIS_MUI_ICON ${DUOBRIK_ICON_FILE})
set(CPACK_NSIS_MUI_UNIICON ${DUOBRIK_ICON_FILE})
# Shown in the list of installed programs.
set(CPACK_NSIS_INSTALLED_ICON_NAME duobrik.exe)
# The Start-menu entry "Duobrik" starts duobrik.exe from the install folder.
set(CPACK_PACKAGE_EXECUTABLES duobrik Duobrik)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
# Installing over an installed copy just replaces its files. (CPack's offer
# to uninstall first fails, with a box that even a silent install waits on,
# once the folder has been deleted by hand.)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL OFF)
set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
include(CPack)
