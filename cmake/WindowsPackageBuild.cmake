# Run by the target `installer` (cmake/WindowsPackage.cmake) as cmake -P with
# BUILD_DIR, SOURCE_DIR, CHANGELOG, STAGE, MAKENSIS, PYTHON, VERSION, ICON, SETUP
# and ZIP set. Installs the build into STAGE with the executables stripped, then
# makes the installer and the zip from that one folder. One source gives the same
# two files, byte for byte: every file is dated with the source's date
# (cmake/PackageDate.cmake) and gets a fixed mode, and the installer's and the
# zip's lists are sorted.
set(CPACK_BEAMLET_SOURCE_DIR ${SOURCE_DIR})
set(CPACK_BEAMLET_CHANGELOG ${CHANGELOG})
include(${SOURCE_DIR}/cmake/PackageDate.cmake)
set(date $ENV{SOURCE_DATE_EPOCH})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(failed)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "${command} failed:\n${out}")
  endif()
endfunction()

file(REMOVE_RECURSE ${STAGE})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE} --strip)

file(GLOB_RECURSE files RELATIVE ${STAGE} ${STAGE}/*)
file(GLOB_RECURSE folders RELATIVE ${STAGE} LIST_DIRECTORIES true ${STAGE}/*)
list(REMOVE_ITEM folders ${files})
list(SORT files)
list(SORT folders)
foreach(file IN LISTS files)
  file(CHMOD ${STAGE}/${file} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endforeach()
foreach(folder IN LISTS folders)
  file(CHMOD ${STAGE}/${folder} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
endforeach()
list(TRANSFORM files PREPEND ${STAGE}/ OUTPUT_VARIABLE paths)
list(TRANSFORM folders PREPEND ${STAGE}/ OUTPUT_VARIABLE folder_paths)
run(touch -h -d @${date} ${paths} ${folder_paths} ${STAGE})

# The installer's lists of what it puts in place and what its uninstaller takes
# away again, file by file: an uninstaller that removed its folder whole would
# take with it whatever else a user keeps there.
set(install_list "")
set(uninstall_list "")
set(last_folder "-")
foreach(file IN LISTS files)
  get_filename_component(folder "${file}" DIRECTORY)
  string(REPLACE "/" "\\" windows_file "${file}")
  if(NOT folder STREQUAL last_folder)
    string(REPLACE "/" "\\" windows_folder "${folder}")
    string(APPEND install_list "SetOutPath \"$INSTDIR\\${windows_folder}\"\n")
    set(last_folder "${folder}")
  endif()
  string(APPEND install_list "File \"${STAGE}/${file}\"\n")
  string(APPEND uninstall_list "Delete \"$INSTDIR\\${windows_file}\"\n")
endforeach()
list(REVERSE folders)
foreach(folder IN LISTS folders)
  string(REPLACE "/" "\\" windows_folder "${folder}")
  string(APPEND uninstall_list "RMDir \"$INSTDIR\\${windows_folder}\"\n")
endforeach()
set(lists ${BUILD_DIR}/installer-lists)
file(REMOVE_RECURSE ${lists})
file(WRITE ${lists}/install.nsh "${install_list}")
file(WRITE ${lists}/uninstall.nsh "${uninstall_list}")

file(REMOVE ${SETUP} ${ZIP})
run(${MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${VERSION} -DLISTS=${lists} -DICON=${ICON} -DOUTFILE=${SETUP}
  ${SOURCE_DIR}/assets/windows/beamlet.nsi)
get_filename_component(zip_folder ${ZIP} NAME_WLE)
run(${PYTHON} ${SOURCE_DIR}/scripts/windows/make_zip.py --date ${date} --folder ${zip_folder} ${STAGE} ${ZIP})
