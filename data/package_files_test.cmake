# Run by ctest: after a build of the program alone (what scripts/run.sh leaves), the files that
# the Debian package installs besides it are there.
set(made ${BUILD}/data/changelog.Debian.gz ${BUILD}/data/tarvik.1.gz)
file(REMOVE ${made})
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target tarvik RESULT_VARIABLE built
                OUTPUT_QUIET)
if(NOT built EQUAL 0)
  message(FATAL_ERROR "the program did not build")
endif()
foreach(file ${made})
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "a build of the program alone did not make ${file}")
  endif()
endforeach()
