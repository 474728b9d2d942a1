# Writes OUTPUT, a header defining ORVANO_BUILD_COMMIT as the commit SOURCE_DIR is checked out
# at ("" outside a git checkout or without git). Runs at every build; the file is only
# rewritten when the commit changed, so an unchanged commit rebuilds nothing.
set(commit "")
if(GIT_EXECUTABLE)
  execute_process(
      COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} rev-parse --short=12 HEAD
      OUTPUT_VARIABLE head RESULT_VARIABLE status
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(status EQUAL 0 AND head MATCHES "^[0-9a-f]+$")
    set(commit ${head})
  endif()
endif()
set(text "// Written by the build (packaging/build_commit.cmake).\n#define ORVANO_BUILD_COMMIT \"${commit}\"\n")
set(old "")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} old)
endif()
if(NOT old STREQUAL text)
  file(WRITE ${OUTPUT} "${text}")
endif()
