# Main-dialog scenarios through tunedeck.exe, the simulated card and the registry.
# Included by tests/e2e/CMakeLists.txt.
if(TARGET simsupport AND TARGET registry_helpers AND TARGET tunedeck)
  add_library(dialog_driver STATIC ${CMAKE_CURRENT_LIST_DIR}/dialog_driver.cpp
                                   ${CMAKE_CURRENT_LIST_DIR}/dialog_fixture.cpp)
  target_include_directories(dialog_driver PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(dialog_driver PUBLIC GTest::gtest simsupport registry_helpers
                        user32 gdi32 comctl32)
  foreach(t startup apply testrun profiles)
    velotune_test(dialog_${t}_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/dialog_${t}_test.cpp
                  LIBS dialog_driver LOCKS prefix-app prefix-hw TIMEOUT 600)
    add_dependencies(dialog_${t}_test tunedeck Orbview demo_stub genport1 busprobe portgate)
  endforeach()
endif()

# Not a test: makes the README's screenshots (tests/e2e/dialog_shots.sh).
if(TARGET dialog_driver)
  add_executable(dialog_shots ${CMAKE_CURRENT_LIST_DIR}/dialog_shots.cpp)
  target_link_libraries(dialog_shots PRIVATE dialog_driver)
endif()
