# Small helpers shared by the project's CMake files.

# velotune_ship(<target>...): copy the built file of each target into build/dist.
function(velotune_ship)
  foreach(t ${ARGN})
    add_custom_command(TARGET ${t} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${t}> ${VELOTUNE_DIST}/)
  endforeach()
endfunction()

# velotune_test(<name> SOURCES ... [LIBS ...] [LOCKS ...] [TIMEOUT s] [OWN_MAIN])
# A GoogleTest program for the target, run by ctest through Wine as one test.
# LOCKS names shared resources of the prefix (GenPort1 service, simulated card,
# registry keys, the program's instance counter) so that users of one run one at a time.
function(velotune_test name)
  cmake_parse_arguments(T "OWN_MAIN" "TIMEOUT" "SOURCES;LIBS;LOCKS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest ${T_LIBS})
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main ${T_LIBS})
  endif()
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  if(T_LOCKS)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
  endif()
  if(T_TIMEOUT)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  endif()
endfunction()
