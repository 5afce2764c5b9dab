# The RPM package, for Fedora, openSUSE and RHEL: the same files as the Debian
# package, judged by rpmlint. Made beside the .deb where rpmbuild is installed.
find_program(PROCLENS_RPMBUILD rpmbuild)
if(NOT PROCLENS_RPMBUILD)
  return()
endif()

# The changelog in RPM's form, from the same release.
execute_process(COMMAND date -u -d "${PROCLENS_RELEASE_DATE}" "+%a %b %d %Y"
  OUTPUT_VARIABLE rpm_release_day OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/rpm-changelog CONTENT
"* ${rpm_release_day} ${PROCLENS_MAINTAINER} - ${PROJECT_VERSION}-1
- First packaged release: the window (proclens) and proclens-cli, with their
  desktop entry, icons, AppStream metainfo, manual pages and bash completion.
")

list(APPEND CPACK_GENERATOR RPM)
set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
# Installed where the desktop looks for it, never elsewhere.
set(CPACK_PACKAGE_RELOCATABLE OFF)
set(CPACK_RPM_PACKAGE_RELOCATABLE OFF)
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/description.txt CPACK_RPM_PACKAGE_DESCRIPTION)
# RPM's summaries begin with a capital, Debian's do not.
set(CPACK_RPM_PACKAGE_SUMMARY "Process viewer that tells what each running program is")
set(CPACK_RPM_PACKAGE_LICENSE MIT)
set(CPACK_RPM_PACKAGE_GROUP "Applications/System")
set(CPACK_RPM_PACKAGE_URL ${PROCLENS_SITE_BASE})
set(CPACK_RPM_CHANGELOG_FILE ${CMAKE_CURRENT_BINARY_DIR}/rpm-changelog)
# rpmbuild finds the libraries the programs link; those they open themselves
# are named by their sonames, which every RPM distribution provides under
# its own package names.
set(CPACK_RPM_PACKAGE_AUTOREQ ON)
set(CPACK_RPM_PACKAGE_REQUIRES "libwebkit2gtk-4.1.so.0()(64bit), libcurl.so.4()(64bit), libcrypto.so.3()(64bit)")
# Lines that CPack has no field for: librpm answers for the programs that RPM
# installed and libyaml reads what a snap says of itself, and without them
# those programs are only unknown, so they are recommended, not required; the packager; and the database that rpmbuild would otherwise make
# in the home folder, kept in the build tree.
set(CPACK_RPM_SPEC_MORE_DEFINE "Recommends: (librpm.so.10()(64bit) or librpm.so.9()(64bit))
Recommends: libyaml-0.so.2()(64bit)
Packager: ${PROCLENS_MAINTAINER}
%define _dbpath ${CMAKE_BINARY_DIR}/_CPack_Packages/rpmdb")
# Folders that the system's own packages own (filesystem, hicolor-icon-theme,
# bash-completion) are not claimed.
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION
  /usr/share/applications /usr/share/metainfo /usr/share/man /usr/share/man/man1
  /usr/share/bash-completion /usr/share/bash-completion/completions /usr/share/icons /usr/share/icons/hicolor)
foreach(size 16x16 24x24 32x32 48x48 64x64 128x128 256x256 scalable)
  list(APPEND CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION
    /usr/share/icons/hicolor/${size} /usr/share/icons/hicolor/${size}/apps)
endforeach()
