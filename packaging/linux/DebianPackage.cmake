# The Debian package: the programs and the files a desktop and a shell expect
# beside them, judged by lintian, desktop-file-validate and appstreamcli.
include(GNUInstallDirs)
set(linux_dir ${CMAKE_CURRENT_SOURCE_DIR}/linux)
set(made ${CMAKE_CURRENT_BINARY_DIR})
set(PROCLENS_METAINFO example.proclens.ProcLens.metainfo.xml)

# The changelog's date in the form Debian's changelog format asks for.
execute_process(COMMAND date -u -R -d "${PROCLENS_RELEASE_DATE} 12:00"
  OUTPUT_VARIABLE PROCLENS_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${linux_dir}/changelog.in ${made}/changelog @ONLY)
configure_file(${linux_dir}/proclens.1.in ${made}/proclens.1 @ONLY)
configure_file(${linux_dir}/proclens-cli.1.in ${made}/proclens-cli.1 @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/resources/linux/${PROCLENS_METAINFO}.in ${made}/${PROCLENS_METAINFO} @ONLY)
# The Linux tests read it as the installed program would.
set(PROCLENS_METAINFO_FILE ${made}/${PROCLENS_METAINFO} CACHE INTERNAL "")

# The copyright file in Debian's machine-readable form, carrying LICENSE.
file(READ ${CMAKE_SOURCE_DIR}/LICENSE licence)
string(REGEX REPLACE "^MIT License\n\nCopyright \\(c\\) [^\n]*\n\n" "" licence "${licence}")
string(REGEX REPLACE "\n+$" "" licence "${licence}")
string(REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " licence "${licence}")
file(CONFIGURE OUTPUT ${made}/copyright CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ProcLens
Upstream-Contact: ${PROCLENS_MAINTAINER}

Files: *
Copyright: ${PROCLENS_COPYRIGHT_YEAR} The ProcLens developers
License: MIT
 ${licence}
")

# Debian keeps manual pages and changelogs compressed, without a time stamp.
set(compressed)
foreach(file proclens.1 proclens-cli.1 changelog)
  add_custom_command(OUTPUT ${made}/${file}.gz
    COMMAND gzip -9 -n -c ${made}/${file} > ${made}/${file}.gz
    DEPENDS ${made}/${file}
    COMMENT "Compressing ${file}")
  list(APPEND compressed ${made}/${file}.gz)
endforeach()
add_custom_target(proclens_package_texts ALL DEPENDS ${compressed})

install(FILES ${made}/proclens.1.gz ${made}/proclens-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${made}/${PROCLENS_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${linux_dir}/proclens-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME proclens-cli)
install(FILES ${made}/copyright ${made}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/proclens)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The programs open WebKitGTK (the window, after its first frame), libcurl
# (at the first exchange with the site) and libcrypto (at the first checksum)
# themselves, so those are not among the libraries the linker records;
# shlibdeps adds the others. curl_multi_poll came with libcurl 7.66.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libwebkit2gtk-4.1-0 (>= ${WEBKIT_VERSION}), libcurl4 (>= 7.66), libssl3 (>= 3.0.0)")
# librpm answers for the programs that RPM installed and libyaml reads what
# a snap says of itself; without them those programs are only unknown.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "librpm9, libyaml-0-2")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
