# Small helpers shared by the project's CMake files.

# velotune_ship(<target>...): in the product tree, copy the built file of each target
# into the shipped folder dist/ (the test tree assembles its dist/ from the product's).
# The link map of each goes to maps/<file>.map: the shipped files are stripped, and the
# opcode floor check names functions from these.
function(velotune_ship)
  if(VELOTUNE_TESTS)
    return()
  endif()
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/maps)
  foreach(t ${ARGN})
    target_link_options(${t} PRIVATE -Wl,-Map,${CMAKE_BINARY_DIR}/maps/$<TARGET_FILE_NAME:${t}>.map)
    add_custom_command(TARGET ${t} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${t}> ${VELOTUNE_DIST}/)
  endforeach()
endfunction()

# velotune_runtime_for(<target>...): in the 32-bit product tree, link each shipped
# program or DLL with the project's runtime (runtime/) and nothing of the compiler's;
# elsewhere (64-bit product tree, test tree) the compiler's runtime stays.
function(velotune_runtime_for)
  if(VELOTUNE_OWN_RUNTIME)
    velotune_runtime_link(${ARGN})
  endif()
endfunction()

# velotune_runtime_link(<target>...): links with the project's runtime in any tree.
function(velotune_runtime_link)
  foreach(t ${ARGN})
    get_target_property(type ${t} TYPE)
    if(type STREQUAL "EXECUTABLE")
      target_sources(${t} PRIVATE $<TARGET_OBJECTS:velotune_exe_start>)
    else()
      target_sources(${t} PRIVATE $<TARGET_OBJECTS:velotune_dll_entry>)
    endif()
    target_link_options(${t} PRIVATE -nostartfiles -nodefaultlibs)
    # Searched again after the system libraries, which the runtime and the program share.
    target_link_libraries(${t} PRIVATE velotune_runtime msvcrt kernel32 velotune_runtime)
  endforeach()
endfunction()

# velotune_version(<target> <file type: APP|DLL|DRV> "<description>"): the version
# resource every shipped file carries (company, product, version 1.0a, description).
function(velotune_version target type description)
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  get_target_property(suffix ${target} SUFFIX)
  if(NOT suffix)
    if(type STREQUAL "APP")
      set(suffix ".exe")
    else()
      set(suffix ".dll")
    endif()
  endif()
  set(VERSION_FILE_TYPE VFT_${type})
  if(type STREQUAL "DRV")
    set(VERSION_FILE_SUBTYPE VFT2_DRV_SYSTEM)
    set(VERSION_FILE_OS VOS_NT_WINDOWS32)
  else()
    set(VERSION_FILE_SUBTYPE VFT2_UNKNOWN)
    set(VERSION_FILE_OS VOS__WINDOWS32)
  endif()
  set(VERSION_DESCRIPTION "${description}")
  set(VERSION_FILENAME "${name}${suffix}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

# velotune_tool_headers(): test programs, the simulated card and tools do not ship, and
# may use what Windows XP's headers offer (vectored exception handlers, SendInput...).
macro(velotune_tool_headers)
  set_directory_properties(PROPERTIES COMPILE_DEFINITIONS
    "WIN32_LEAN_AND_MEAN;_WIN32_WINNT=0x0501;WINVER=0x0501;_WIN32_IE=0x0501")
endmacro()

# The test tree's dist/: the product's shipped folder with the simulated driver.
function(velotune_test_folder)
  add_custom_target(testdist ALL
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${VELOTUNE_SHIPPED} ${VELOTUNE_DIST}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:genport1> ${VELOTUNE_DIST}/
    DEPENDS genport1
    COMMENT "Folder under test: ${VELOTUNE_SHIPPED} with the simulated GenPort1.sys")
endfunction()

# velotune_test(<name> SOURCES ... [LIBS ...] [LOCKS ...] TIMEOUT s [OWN_MAIN])
# A GoogleTest program for the target, run by ctest through Wine as one test. Every
# test may use the folder under test, so each depends on it.
# LOCKS names shared resources of the prefix (GenPort1 service, simulated card,
# registry keys, the program's instance counter) so that users of one run one at a time.
# TIMEOUT: at least four times the test's time measured alone on the 2-core machine,
# on the steps 60, 120, 300, 600, 1200 s, so that a run beside other builds passes and
# a hang fails within minutes (ctest's default is 25). tests/ checks that every test,
# also those added with add_test, has one (every_test_timed).
function(velotune_test name)
  cmake_parse_arguments(T "OWN_MAIN" "TIMEOUT" "SOURCES;LIBS;LOCKS" ${ARGN})
  if(NOT T_TIMEOUT)
    message(FATAL_ERROR "velotune_test(${name}): give it a TIMEOUT fitted to its time")
  endif()
  add_executable(${name} ${T_SOURCES})
  if(T_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest ${T_LIBS})
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main ${T_LIBS})
  endif()
  add_dependencies(${name} testdist)
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  if(T_LOCKS)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
  endif()
  # A test that drives GenPort1 runs through cmake/hw-retry (every run of this program).
  if("prefix-hw" IN_LIST T_LOCKS)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
                          "${PROJECT_SOURCE_DIR}/cmake/hw-retry;${CMAKE_CROSSCOMPILING_EMULATOR}")
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()
