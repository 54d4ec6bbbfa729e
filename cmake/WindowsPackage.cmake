# The Windows installer and the portable zip, made by the target `installer`
# (scripts/dev.sh windows builds it with the program):
#   beamlet-<version>-win64-setup.exe  per-user installer (NSIS, assets/windows/beamlet.nsi)
#   beamlet-<version>-win64.zip        the same files, for running without installing
# Both hold what the install rules install, the executables stripped (the build
# keeps them whole): beamlet.exe, beamlet.com, the program's licence, the notices
# of what is linked into it and the licences of Qt.
#
# makensis is run on a script of our own rather than through CPack's NSIS
# generator: CPack's template makes a per-machine installer with 32-bit stubs,
# keys in HKLM and an administrator's rights, and replacing its template would
# mean keeping a copy of its 1,000 lines for the 175 the program needs. One folder,
# filled by the install rules, feeds both the installer and the zip.

file(READ ${PROJECT_SOURCE_DIR}/assets/data/maker.json maker)
string(JSON maker_name GET "${maker}" maintainer)
string(JSON maker_email GET "${maker}" email)
string(JSON BEAMLET_WEBSITE GET "${maker}" links website target)
set(BEAMLET_MAINTAINER "${maker_name} <${maker_email}>")

# Qt's source, which build-qt.sh keeps beside the Qt it built:
# <cache>/source/qt6-base-<Debian version>/ beside <cache>/qt-<version>-mingw64-<key>/.
file(REAL_PATH "${Qt6_DIR}/../../.." qt_prefix)
file(GLOB qt_sources LIST_DIRECTORIES true "${qt_prefix}/../source/qt6-base-${Qt6_VERSION}*")
list(SORT qt_sources)
list(POP_BACK qt_sources qt_source_guess)
set(BEAMLET_QT_SOURCE_DIR "${qt_source_guess}" CACHE PATH
  "The folder with Debian's qt6-base source package (.dsc and tarballs) the Windows Qt was built from")
file(GLOB qt_dsc "${BEAMLET_QT_SOURCE_DIR}/qt6-base_*.dsc")
if(NOT qt_dsc)
  message(STATUS "No Qt source in '${BEAMLET_QT_SOURCE_DIR}' (BEAMLET_QT_SOURCE_DIR): the installer, "
    "which must carry the notices it holds, is not made")
  return()
endif()

# What the Qt source offer names: Debian's version and its files with their hashes.
file(READ ${qt_dsc} dsc)
string(REGEX MATCH "\nVersion: ([^\n]+)" _ "${dsc}")
set(BEAMLET_QT_DEBIAN_VERSION ${CMAKE_MATCH_1})
string(REPLACE "+" "%2B" BEAMLET_QT_DEBIAN_VERSION_URL "${BEAMLET_QT_DEBIAN_VERSION}")
string(REGEX MATCH "\nChecksums-Sha256:\n(( [^\n]+\n)+)" _ "${dsc}")
string(REGEX MATCHALL "[^\n]+" dsc_lines "${CMAKE_MATCH_1}")
get_filename_component(dsc_name ${qt_dsc} NAME)
file(SHA256 ${qt_dsc} dsc_sha256)
set(BEAMLET_QT_SOURCE_FILES "    ${dsc_name}\n        sha256 ${dsc_sha256}\n")
foreach(line IN LISTS dsc_lines)
  string(REGEX MATCH "^ ([0-9a-f]+) [0-9]+ (.+)$" _ "${line}")
  set(hash ${CMAKE_MATCH_1})
  set(name ${CMAKE_MATCH_2})
  string(APPEND BEAMLET_QT_SOURCE_FILES "    ${name}\n        sha256 ${hash}\n")
  if(name MATCHES "\\.orig\\.tar\\.")
    set(qt_orig "${BEAMLET_QT_SOURCE_DIR}/${name}")
  endif()
endforeach()

# The licence files of what Qt builds in, taken from its source once.
set(notice_dir ${CMAKE_BINARY_DIR}/qt-notices)
if(NOT EXISTS ${notice_dir}/.complete)
  message(STATUS "Reading the licences of Qt's libraries from ${qt_orig}")
  file(REMOVE_RECURSE ${notice_dir})
  file(ARCHIVE_EXTRACT INPUT ${qt_orig} DESTINATION ${notice_dir} PATTERNS
    */src/3rdparty/libjpeg/LICENSE */src/3rdparty/libjpeg/ijg-license.txt */src/3rdparty/libjpeg/COPYRIGHT.txt
    */src/3rdparty/libjpeg/zlib-license.txt */src/3rdparty/libpng/LICENSE */src/3rdparty/zlib/LICENSE
    */src/3rdparty/freetype/LICENSE.txt
    */src/3rdparty/freetype/ZLIB-LICENSE.txt */src/3rdparty/freetype/BDF-LICENSE.txt
    */src/3rdparty/freetype/PCF-LICENSE.txt */src/3rdparty/harfbuzz-ng/COPYING
    */src/3rdparty/pcre2/LICENCE */src/3rdparty/pcre2/LICENCE-SLJIT
    */src/3rdparty/double-conversion/LICENSE */src/3rdparty/easing/LICENSE */src/3rdparty/tinycbor/LICENSE
    */src/3rdparty/rfc6234/LICENSE */src/3rdparty/sha3/BRG_ENDIAN_LICENSE
    */src/corelib/text/UNICODE_LICENSE.txt */src/gui/painting/QIMAGETRANSFORM_LICENSE.txt
    */src/gui/painting/XCONSORTIUM_LICENSE.txt */src/gui/text/AGLFN_LICENSE.txt
    */util/gradientgen/WEBGRADIENTS_LICENSE.txt)
  file(TOUCH ${notice_dir}/.complete)
endif()
file(GLOB qt_tree ${notice_dir}/qtbase-*)

# One section per library: what it is, what it does here, its licence texts.
set(notices "")
function(add_notice title)
  cmake_parse_arguments(arg "" "SAYS" "FILES" ${ARGN})
  string(REPEAT "=" 78 rule)
  set(text "\n\n${rule}\n${title}\n${rule}\n")
  if(arg_SAYS)
    string(APPEND text "\n${arg_SAYS}\n")
  endif()
  foreach(file IN LISTS arg_FILES)
    if(NOT EXISTS "${file}")
      set(file ${qt_tree}/${file})
    endif()
    if(NOT EXISTS "${file}")
      message(FATAL_ERROR "The notice ${file} is missing: remove ${notice_dir} and configure again")
    endif()
    file(READ "${file}" body)
    string(STRIP "${body}" body)
    string(APPEND text "\n${body}\n")
  endforeach()
  set(notices "${notices}${text}" PARENT_SCOPE)
endfunction()

add_notice("libjpeg-turbo, the Independent JPEG Group's JPEG software (the JPEG plugin: the emoticons)"
  SAYS "This software is based in part on the work of the Independent JPEG Group."
  FILES src/3rdparty/libjpeg/LICENSE src/3rdparty/libjpeg/ijg-license.txt src/3rdparty/libjpeg/COPYRIGHT.txt
    src/3rdparty/libjpeg/zlib-license.txt)
add_notice("libpng (Qt Gui: PNG pictures)" FILES src/3rdparty/libpng/LICENSE)
add_notice("zlib (Qt Core: compressed data and pictures)" FILES src/3rdparty/zlib/LICENSE)
add_notice("FreeType (Qt Gui: fonts; Qt's raster painter)"
  SAYS "Portions of this software are copyright (C) The FreeType Project (www.freetype.org). All rights reserved."
  FILES src/3rdparty/freetype/LICENSE.txt src/3rdparty/freetype/ZLIB-LICENSE.txt
    src/3rdparty/freetype/BDF-LICENSE.txt src/3rdparty/freetype/PCF-LICENSE.txt)
add_notice("HarfBuzz (Qt Gui: text shaping)" FILES src/3rdparty/harfbuzz-ng/COPYING)
add_notice("PCRE2 (Qt Core: regular expressions)" FILES src/3rdparty/pcre2/LICENCE src/3rdparty/pcre2/LICENCE-SLJIT)
add_notice("double-conversion (Qt Core: numbers as text)" FILES src/3rdparty/double-conversion/LICENSE)
add_notice("Easing equations by Robert Penner (Qt Core: QEasingCurve)" FILES src/3rdparty/easing/LICENSE)
add_notice("TinyCBOR (Qt Core: CBOR)" FILES src/3rdparty/tinycbor/LICENSE)
add_notice("RFC 6234 hash functions (Qt Core: QCryptographicHash)" FILES src/3rdparty/rfc6234/LICENSE)
add_notice("Brian Gladman's byte order header (Qt Core: SHA-3)"
  SAYS "The SHA-3 (Keccak), BLAKE2, MD4, MD5, SHA-1 and SipHash code in Qt Core is in the public domain or under CC0."
  FILES src/3rdparty/sha3/BRG_ENDIAN_LICENSE)
add_notice("Unicode character database and CLDR data (Qt Core: text and locales)"
  FILES src/corelib/text/UNICODE_LICENSE.txt)
add_notice("Imlib2 smooth scaling (Qt Gui: scaled pictures)" FILES src/gui/painting/QIMAGETRANSFORM_LICENSE.txt)
add_notice("X Consortium region code (Qt Gui: QRegion)" FILES src/gui/painting/XCONSORTIUM_LICENSE.txt)
add_notice("Adobe Glyph List For New Fonts (Qt Gui: font subsets)" FILES src/gui/text/AGLFN_LICENSE.txt)
add_notice("WebGradients (Qt Gui: QGradient presets)" FILES util/gradientgen/WEBGRADIENTS_LICENSE.txt)
add_notice("MinGW-w64 runtime (the C runtime and threads of the program)"
  SAYS "As Debian's mingw-w64-x86-64-dev package gives it. The GCC runtime libraries (libgcc, libstdc++, libssp) are under the GNU GPL version 3 with the GCC Runtime Library Exception, which asks nothing of programs built with them."
  FILES /usr/share/doc/mingw-w64-x86-64-dev/copyright)

# Text files as Windows writes them, with CR LF line ends; rewritten only when
# their text changes, so that configuring again makes no new installer.
function(write_windows_text path text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${path}.new "${text}")
  file(COPY_FILE ${path}.new ${path} ONLY_IF_DIFFERENT)
  file(REMOVE ${path}.new)
endfunction()

set(windows_dir ${CMAKE_BINARY_DIR}/windows)
file(READ ${PROJECT_SOURCE_DIR}/assets/windows/THIRD-PARTY-NOTICES.txt.in head)
string(CONFIGURE "${head}" head @ONLY)
write_windows_text(${windows_dir}/THIRD-PARTY-NOTICES.txt "${head}${notices}")

# The program's own licence, from the copyright file the Debian package carries.
file(READ ${PROJECT_SOURCE_DIR}/assets/linux/copyright copyright)
string(REGEX MATCH "\nCopyright: ([^\n]+)" _ "${copyright}")
set(holder "${CMAKE_MATCH_1}")
string(REGEX MATCH "\n\nLicense: MIT\n(( [^\n]*\n?)+)" _ "${copyright}")
string(REGEX REPLACE "(^|\n) \\.(\n|$)" "\\1\\2" mit "${CMAKE_MATCH_1}")
string(REGEX REPLACE "(^|\n) " "\\1" mit "${mit}")
write_windows_text(${windows_dir}/LICENSE.txt "Orvane Beamlet\n\nCopyright ${holder}\n\n${mit}")

foreach(licence LGPL-3 GPL-3)
  file(READ /usr/share/common-licenses/${licence} text)
  write_windows_text(${windows_dir}/${licence}.0.txt "${text}")
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/assets/windows/THIRD-PARTY-NOTICES.txt.in ${PROJECT_SOURCE_DIR}/assets/linux/copyright
  ${PROJECT_SOURCE_DIR}/assets/data/maker.json ${qt_dsc})

install(FILES ${windows_dir}/LICENSE.txt ${windows_dir}/THIRD-PARTY-NOTICES.txt DESTINATION .)
install(FILES ${windows_dir}/LGPL-3.0.txt ${windows_dir}/GPL-3.0.txt DESTINATION licenses)

# The installer and the zip. makensis and Python are needed only here: without
# them the program builds as before and the target says what is missing.
find_program(BEAMLET_MAKENSIS makensis)
find_package(Python3 COMPONENTS Interpreter)
set(setup ${CMAKE_BINARY_DIR}/beamlet-${PROJECT_VERSION}-win64-setup.exe)
set(zip ${CMAKE_BINARY_DIR}/beamlet-${PROJECT_VERSION}-win64.zip)
if(NOT BEAMLET_MAKENSIS OR NOT Python3_Interpreter_FOUND)
  add_custom_target(installer COMMAND ${CMAKE_COMMAND} -E echo
    "The installer needs makensis (Debian's nsis) and python3; install them and configure again" COMMAND false)
  return()
endif()
configure_file(assets/linux/changelog.in changelog @ONLY)
# Made anew whenever asked for: the files carry the date of the last commit,
# which no file the build reads tells.
add_custom_target(installer
  COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
    -DCHANGELOG=${CMAKE_CURRENT_BINARY_DIR}/changelog -DSTAGE=${CMAKE_BINARY_DIR}/installer-stage
    -DMAKENSIS=${BEAMLET_MAKENSIS} -DPYTHON=${Python3_EXECUTABLE} -DVERSION=${PROJECT_VERSION}
    -DICON=${CMAKE_BINARY_DIR}/src/app/beamlet.ico -DSETUP=${setup} -DZIP=${zip}
    -P ${PROJECT_SOURCE_DIR}/cmake/WindowsPackageBuild.cmake
  BYPRODUCTS ${setup} ${zip}
  COMMENT "Making the installer and the zip"
  VERBATIM)
add_dependencies(installer beamlet beamlet_console beamlet_icon)
