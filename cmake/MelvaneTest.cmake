enable_testing()

# melvane_test(name source...): a GoogleTest executable run by ctest under Wine.
# Tests link the plug-in's static core; tests that drive the real DLL load it
# from the bin folder (or copy it into a temporary plug-in folder).
function(melvane_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE melvane_core melvane_testlib gtest gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no WORKING_DIRECTORY ${MELVANE_BIN})
  # Tests with windows share one display and fight over focus and the
  # foreground when they run side by side; they take the display in turn.
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 RESOURCE_LOCK display)
endfunction()
