# What the Linux build installs, and the Debian package made of it:
# `cmake --build --preset release --target package` writes
# build/release/package/tintrod_VERSION_amd64.deb.

include(GNUInstallDirs)
install(TARGETS tintrod tintrod-extract tintrod-prepare RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES man/tintrod.1 man/tintrod-extract.1 man/tintrod-prepare.1
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)
# The single-file page goes in when a web build has made it; installing
# without one puts the programs alone, and no empty folder for the page (the
# package refuses to be made without it). Looked for when installing, since
# the page may be built after this is configured.
install(CODE "
  if(EXISTS \"${TINTROD_PAGE_FILE}\")
    file(INSTALL \"${TINTROD_PAGE_FILE}\"
      DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/tintrod\")
  endif()")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tintrod)
set(CPACK_PACKAGE_CONTACT "the tintrod authors <tintrod@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "re-skins the billiard cue model with your own pictures")
# One string: separate ones would be a list, whose ';' dpkg shows as written.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Re-skins the billiard cue model of a pool game with nine pictures of your own.\n\
tintrod-extract shows the textures a model holds, tintrod-prepare turns photos\n\
and pictures into the textures, tintrod writes the skinned cue, and the page\n\
/usr/share/tintrod/tintrod.html does all three in a browser.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The release programs link the C++ runtime in; the C library is what is left.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
# The README promises the page in the package: packing stops without it
# rather than ship the programs alone.
configure_file(${PROJECT_SOURCE_DIR}/cmake/debian-page-check.cmake
  ${CMAKE_BINARY_DIR}/debian-page-check.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/debian-page-check.cmake)
include(CPack)
