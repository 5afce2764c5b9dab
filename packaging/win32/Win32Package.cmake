# The Windows packages: a portable ZIP (the two programs, README.txt and the
# licence) and an NSIS installer made from the same files, which installs for
# the current user, without administrator rights.
set(made ${CMAKE_CURRENT_BINARY_DIR})
set(PROCLENS_COPYRIGHT_LINE "Copyright (c) ${PROCLENS_COPYRIGHT_YEAR} The ProcLens developers")
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/win32/README.txt.in ${made}/README.txt @ONLY NEWLINE_STYLE WIN32)
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${made}/LICENSE.txt COPYONLY)
file(READ ${made}/LICENSE.txt licence)
string(REPLACE "\n" "\r\n" licence "${licence}")
file(WRITE ${made}/LICENSE.txt "${licence}")

install(TARGETS proclens proclens-cli RUNTIME DESTINATION .)
install(FILES ${made}/README.txt ${made}/LICENSE.txt DESTINATION .)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_FILE_NAME proclens-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY ProcLens)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY ProcLens)
set(CPACK_NSIS_PACKAGE_NAME "ProcLens ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME ProcLens)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_NSIS_UNINSTALL_NAME Uninstall)
# Our own installer script (win32/NSIS.template.in) takes the place of CPack's;
# CPack hands it only variables whose names begin with CPACK_.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_SOURCE_DIR}/win32)
set(CPACK_PROCLENS_INSTALLER_ICON ${CMAKE_SOURCE_DIR}/platform/win32/window/res/proclens.ico)
set(CPACK_PROCLENS_INSTALLER_LICENCE ${made}/LICENSE.txt)
