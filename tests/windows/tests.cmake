# SPDX-License-Identifier: MIT
# The unit tests of the Windows build: the same test sources where they hold on both systems,
# built with MinGW against the system's drawing calls and run under Wine (CTest runs each
# program through the cross-compiling emulator). The tests of Linux's backends (the drawing
# stand-in, POSIX, X11) sit in folders of their own below tests/platform/ and stay with the Linux
# build; tests/platform/win32/ holds the Windows backend's.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources (Debian googletest)")
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(TESTS ${CMAKE_CURRENT_SOURCE_DIR})
file(GLOB TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS ${TESTS}/support/*.cpp)
add_library(glimmer_test_support STATIC ${TEST_SUPPORT_SOURCES})
glimmer_target_defaults(glimmer_test_support)
target_link_libraries(glimmer_test_support PUBLIC glimmer_harness gtest gmock)
target_compile_definitions(glimmer_test_support PUBLIC
    GLIMMERDEL_PROGRAM_DIR="${GLIMMERDEL_PROGRAM_DIR}"
    GLIMMERDEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")

add_custom_target(unit_tests)

# One program per folder, run whole (a Wine start per test case would cost more than the tests).
# NAME names the program where the folder's name does not suit it.
function(glimmer_windows_tests folder)
    cmake_parse_arguments(ARG "" "NAME" "EXCLUDE;LIBRARIES" ${ARGN})
    set(name ${folder})
    if(ARG_NAME)
        set(name ${ARG_NAME})
    endif()
    file(GLOB sources CONFIGURE_DEPENDS ${TESTS}/${folder}/*_test.cpp)
    foreach(excluded IN LISTS ARG_EXCLUDE)
        list(REMOVE_ITEM sources ${TESTS}/${folder}/${excluded})
    endforeach()
    add_executable(${name}_tests ${sources})
    glimmer_target_defaults(${name}_tests)
    target_link_libraries(${name}_tests PRIVATE glimmer_test_support gtest_main ${ARG_LIBRARIES})
    add_test(NAME windows.${name} COMMAND ${name}_tests --gtest_brief=1)
    set_tests_properties(windows.${name} PROPERTIES LABELS windows
        ENVIRONMENT "GLIMMERDEL_TEST=1;WINEDEBUG=-all" TIMEOUT 600)
    add_dependencies(unit_tests ${name}_tests)
endfunction()

# The shared part of platform/ (its backends' tests are in folders of their own).
glimmer_windows_tests(platform LIBRARIES glimmer_platform)
glimmer_windows_tests(gfx EXCLUDE frame_allocation_test.cpp LIBRARIES glimmer_gfx)
glimmer_windows_tests(app EXCLUDE linux_options_test.cpp backend_choice_test.cpp LIBRARIES glimmer_app
    glimmer_main)
glimmer_windows_tests(scene EXCLUDE long_run_test.cpp LIBRARIES glimmer_scene)
glimmer_windows_tests(settings_ui LIBRARIES glimmer_settings_ui)
glimmer_windows_tests(tools LIBRARIES glimmer_harness)
glimmer_windows_tests(platform/win32 NAME win32 LIBRARIES glimmer_main glimmer_art_pictures)
# The Windows backend's tests run with the program's manifest (the UTF-8 code page among it),
# so that paths in any language are tried as the program meets them.
glimmer_resources(win32_tests win32_tests win32_tests.exe "Glimmerdel Windows backend tests")
add_dependencies(unit_tests scene_pictures delivered_settings)

# The end-to-end tests' helper program (a preview host window, a stand-in companion program).
add_executable(wine_helper ${TESTS}/wine/wine_helper.cpp)
glimmer_target_defaults(wine_helper)
set_target_properties(wine_helper PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
add_dependencies(unit_tests wine_helper)
