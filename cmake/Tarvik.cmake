# tarvik_test(NAME <name> KIND unit|gui|e2e SOURCES ... LIBS ...)
# One executable per test file group, run as one ctest entry labelled with its kind.
# gui and e2e tests need a display; scripts/test.sh runs ctest under Xvfb.
function(tarvik_test)
  cmake_parse_arguments(T "" "NAME;KIND;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(TARVIK_UNIT_ONLY AND NOT T_KIND STREQUAL "unit")
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  if(NOT T_KIND STREQUAL "unit")
    target_link_libraries(${T_NAME} PRIVATE tarvik_testsupport)
  else()
    target_link_libraries(${T_NAME} PRIVATE GTest::gtest_main)
  endif()
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES LABELS ${T_KIND} TIMEOUT ${T_TIMEOUT})
  if(TARVIK_SANITIZER_ENV)
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${TARVIK_SANITIZER_ENV}")
  endif()
  # Window and end-to-end tests click and type with the display's one pointer and keyboard: a
  # window of another test running at the same time could lie where they click, or take the
  # keyboard as it maps.
  if(T_KIND STREQUAL "e2e" OR T_KIND STREQUAL "gui")
    set_tests_properties(${T_NAME} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()

# tarvik_generated_source(<program> <library> <output> <comment>)
# A generator program of the build, <program>.cpp linked with <library>, run to write the C++
# file <output> (a path in the build tree) that a library of Tarvik then compiles.
function(tarvik_generated_source program library output comment)
  add_executable(${program} ${program}.cpp)
  target_link_libraries(${program} PRIVATE ${library})
  add_custom_command(OUTPUT ${output}
                     COMMAND ${CMAKE_COMMAND} -E env ${TARVIK_SANITIZER_ENV}
                             $<TARGET_FILE:${program}> ${output}
                     DEPENDS ${program}
                     COMMENT "${comment}")
endfunction()
