# Run by cpack before and after it builds the package (CPACK_PRE_BUILD_SCRIPTS,
# CPACK_POST_BUILD_SCRIPTS). CPack takes the modes of the folders it packs and of
# the package's own members (debian-binary, control.tar, data.tar) from the files
# it writes, that is from the umask of the one who builds it: under umask 077
# the package would create /usr/lib/<multiarch>/beamlet readable by root alone,
# and no two umasks would give the same package. Folders get 0755 and the
# members 0644, as dpkg-deb makes them.
if(NOT CPACK_PACKAGE_FILES)
  file(GLOB_RECURSE folders LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
  list(FILTER folders INCLUDE REGEX ".")
  foreach(folder IN LISTS folders)
    if(IS_DIRECTORY "${folder}" AND NOT IS_SYMLINK "${folder}")
      file(CHMOD "${folder}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
        WORLD_READ WORLD_EXECUTE)
    endif()
  endforeach()
  return()
endif()
# The member headers of the ar archive: 60 bytes each, the mode as octal text at
# byte 40, the size at byte 48; CMake cannot write bytes in place, perl (part of
# every Debian system) can.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  execute_process(COMMAND perl -e [[
    open(my $f, "+<:raw", $ARGV[0]) or die "$ARGV[0]: $!\n";
    my ($magic, $header, $at) = ("", "", 8);
    read($f, $magic, 8) == 8 && $magic eq "!<arch>\n" or die "$ARGV[0]: not an ar archive\n";
    while (seek($f, $at, 0) && read($f, $header, 60) == 60) {
      seek($f, $at + 40, 0);
      print $f sprintf("%-8s", "100644");
      my $size = substr($header, 48, 10) + 0;
      $at += 60 + $size + $size % 2;
    }
    close($f) or die "$ARGV[0]: $!\n";
  ]] "${deb}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "Could not set the member modes of ${deb}")
  endif()
endforeach()
