# Writes OUT, a header naming the commit the program is built from, at every build; the file
# is touched only when the commit changes, so an unchanged checkout recompiles nothing.
# Run as: cmake -DSOURCE_DIR=... -DOUT=... -P BuildInfo.cmake
set(commit unknown)
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} describe --always --dirty --abbrev=12
    OUTPUT_VARIABLE described RESULT_VARIABLE failed ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT failed AND described)
    set(commit ${described})
  endif()
endif()
set(text "// Generated at build time by cmake/BuildInfo.cmake.\n#pragma once\n#define KESTROVA_COMMIT \"${commit}\"\n")
if(EXISTS ${OUT})
  file(READ ${OUT} old)
endif()
if(NOT "${old}" STREQUAL "${text}")
  file(WRITE ${OUT} "${text}")
endif()
