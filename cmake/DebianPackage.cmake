# The Debian package, built from the install rules with `cpack -G DEB` in the
# build folder: beamlet_<version>_<arch>.deb. Its maintainer is the maker named
# in assets/data/maker.json; its dependencies come from dpkg-shlibdeps.
file(READ ${PROJECT_SOURCE_DIR}/assets/data/maker.json maker)
string(JSON maker_name GET "${maker}" maintainer)
string(JSON maker_email GET "${maker}" email)
set(BEAMLET_MAINTAINER "${maker_name} <${maker_email}>")

# What Debian expects beside the program: the manual page, the copyright and a
# changelog, the last two compressed with gzip -9n as dpkg does.
find_program(GZIP gzip REQUIRED)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/beamlet)
configure_file(docs/beamlet.1 beamlet.1 @ONLY)
configure_file(assets/linux/changelog.in changelog @ONLY)
add_custom_command(OUTPUT beamlet.1.gz changelog.gz
  COMMAND ${GZIP} -9nkf beamlet.1 changelog
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/beamlet.1 ${CMAKE_CURRENT_BINARY_DIR}/changelog)
add_custom_target(beamlet_docs ALL DEPENDS beamlet.1.gz changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/beamlet.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz assets/linux/copyright DESTINATION ${doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME beamlet)
set(CPACK_PACKAGE_VENDOR Orvane)
set(CPACK_PACKAGE_CONTACT "${BEAMLET_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.orvane.example/)
set(CPACK_PACKAGING_INSTALL_PREFIX ${BEAMLET_PACKAGE_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${BEAMLET_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The chime needs a sound server; without one the program simply stays silent.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "type text and get picture-letter chat codes
Beamlet is a small always-on-top window with a typing box. Every typed
character that has a chat code adds its code token to a hidden buffer, and
Get Code copies the buffer to the clipboard; pasted into a chat, the codes
show as big picture letters.
.
A palette of 66 big emoticons copies a whole grid of codes with one click,
and a compact mini window keeps the typing box and 45 emoticons at hand. The
command line writes the same codes without a window.")
# One source gives one package, byte for byte: cpack dates every file in it
# with the source's date (cmake/PackageDate.cmake), and its folders and members
# get fixed modes whatever the umask of the one who builds it
# (cmake/PackageModes.cmake).
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/PackageDate.cmake)
set(CPACK_BEAMLET_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_BEAMLET_CHANGELOG ${CMAKE_CURRENT_BINARY_DIR}/changelog)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageModes.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageModes.cmake)
include(CPack)
