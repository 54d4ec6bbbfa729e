# Read by cpack before it builds the package (CPACK_PROJECT_CONFIG_FILE). CPack
# gives every file in the package the time in SOURCE_DATE_EPOCH, so a package
# tells the date of its source, never the time it was built, and one source
# gives one package, byte for byte. A SOURCE_DATE_EPOCH set by the caller is
# used as it is; otherwise it is the time of the last commit, or, outside a git
# checkout (a source tarball), the date of the newest changelog entry.
if("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(source_date)
  find_program(BEAMLET_GIT git)
  if(BEAMLET_GIT)
    # Only the source's own checkout counts, not one that merely contains it.
    execute_process(COMMAND ${BEAMLET_GIT} -C "${CPACK_BEAMLET_SOURCE_DIR}" rev-parse --show-toplevel
      OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
    if(NOT failed)
      file(REAL_PATH "${top}" top)
      file(REAL_PATH "${CPACK_BEAMLET_SOURCE_DIR}" source_dir)
      if(top STREQUAL source_dir)
        execute_process(COMMAND ${BEAMLET_GIT} -C "${CPACK_BEAMLET_SOURCE_DIR}" log -1 --format=%ct
          OUTPUT_VARIABLE source_date OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      endif()
    endif()
  endif()
  if(NOT source_date MATCHES "^[0-9]+$")
    execute_process(COMMAND dpkg-parsechangelog -l "${CPACK_BEAMLET_CHANGELOG}" -S Timestamp
      OUTPUT_VARIABLE source_date OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
  if(NOT source_date MATCHES "^[0-9]+$")
    message(FATAL_ERROR "The package's date is neither in git nor in ${CPACK_BEAMLET_CHANGELOG}; "
      "set SOURCE_DATE_EPOCH to the source's date in seconds since 1970.")
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${source_date})
endif()
