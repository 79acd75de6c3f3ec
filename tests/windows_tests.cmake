# The Windows build's tests, run under Wine (tools/wine_run.sh, the toolchain's emulator): the
# headless test groups and the recorded demos, built with the same cross compiler and GoogleTest
# compiled from Debian's sources (googletest; nothing is downloaded), and the game itself in a
# real console in tmux. All of them share one Wine prefix, made in a temporary directory for
# the run (the first Wine start there takes ~40 s) and removed after it.
set(BRINEWORT_GOOGLETEST_SOURCE /usr/src/googletest
    CACHE PATH "GoogleTest's sources, compiled with the cross compiler (Debian: googletest)")
# The Linux build's game, whose title menu the Windows game's must match cell for cell.
set(BRINEWORT_LINUX_GAME "" CACHE FILEPATH "The Linux build's brinewort, for the console test")

set(missing_for_tests "")
if(NOT EXISTS ${BRINEWORT_GOOGLETEST_SOURCE}/CMakeLists.txt)
    list(APPEND missing_for_tests "GoogleTest's sources (googletest): the unit tests")
endif()
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    list(APPEND missing_for_tests "wine: every test")
endif()
find_program(TMUX_PROGRAM tmux)
if(NOT TMUX_PROGRAM)
    list(APPEND missing_for_tests "tmux: the console test")
endif()
if(NOT BRINEWORT_LINUX_GAME)
    list(APPEND missing_for_tests "BRINEWORT_LINUX_GAME: the console test's comparison")
endif()
if(missing_for_tests)
    list(JOIN missing_for_tests "\n  " missing_text)
    if(BRINEWORT_REQUIRE_TESTS)
        message(FATAL_ERROR "Missing for the Windows tests:\n  ${missing_text}")
    endif()
    message(WARNING "Not found, so these Windows tests are not run:\n  ${missing_text}")
endif()
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    return()
endif()

# One Wine prefix for the run.
set(wine_run ${PROJECT_SOURCE_DIR}/tools/wine_run.sh)
set(wine_prefix_file ${CMAKE_CURRENT_BINARY_DIR}/wine-prefix)
add_test(NAME wine_prefix_make COMMAND ${wine_run} --make-prefix ${wine_prefix_file})
set_tests_properties(wine_prefix_make PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
add_test(NAME wine_prefix_remove COMMAND ${wine_run} --remove-prefix ${wine_prefix_file})
set_tests_properties(wine_prefix_remove PROPERTIES FIXTURES_CLEANUP wine)
function(brinewort_wine_test name)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine
                         ENVIRONMENT BRINEWORT_WINE_PREFIX_FILE=${wine_prefix_file})
endfunction()

if(EXISTS ${BRINEWORT_GOOGLETEST_SOURCE}/CMakeLists.txt)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${BRINEWORT_GOOGLETEST_SOURCE} googletest EXCLUDE_FROM_ALL)
    # Its own code, not held to the game's warnings.
    set_target_properties(gtest gtest_main PROPERTIES COMPILE_OPTIONS "-w")

    add_library(test_support STATIC support/harness.cpp)
    target_link_libraries(test_support PUBLIC brinewort_core GTest::gtest)
    target_include_directories(test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

    # One test a group: each Wine start costs a little.
    function(brinewort_test name)
        add_executable(${name} ${ARGN})
        target_link_libraries(${name} PRIVATE test_support GTest::gtest_main)
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES TIMEOUT 300)
        brinewort_wine_test(${name})
    endfunction()

    brinewort_test(console_test console/console_test.cpp)
    brinewort_test(game_test game/game_test.cpp)
    brinewort_test(particles_test effects/particles_test.cpp)
    brinewort_test(frontend_test frontend/frontend_test.cpp)
    brinewort_test(resources_test resources/textfile_test.cpp resources/dialogue_test.cpp)
    brinewort_test(town_test town/town_test.cpp)
    brinewort_test(save_test save/save_test.cpp save/save_windows_test.cpp)
    brinewort_test(dungeon_test dungeon/maploader_test.cpp dungeon/screen_test.cpp
                   dungeon/explore_test.cpp)
    brinewort_test(items_test items/items_test.cpp)
    brinewort_test(battle_test battle/battle_test.cpp)
    brinewort_test(data_test data/data_test.cpp)
    target_link_libraries(data_test PRIVATE brinewort_datacheck)
    brinewort_test(platform_test platform/headless_test.cpp platform/windowfit_test.cpp
                   platform/files_windows_test.cpp)
    brinewort_test(bad_data_test robustness/bad_data_test.cpp)
    brinewort_test(durable_save_test robustness/durable_save_test.cpp)
    brinewort_test(fuzz_regressions_test robustness/fuzz_regressions_test.cpp)
    brinewort_test(demo_test demos/demo_test.cpp)
    brinewort_test(recording_test recording/recording_test.cpp)
endif()

# The game in a real console (tmux), beside the Linux build's; and the notice of a console
# too small.
add_executable(console_notice platform/console_notice_windows.cpp)
target_link_libraries(console_notice PRIVATE brinewort_terminal)
if(TMUX_PROGRAM AND BRINEWORT_LINUX_GAME)
    add_test(NAME windows_console
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/terminal/windows_console.sh ${wine_run}
                     $<TARGET_FILE:brinewort> ${PROJECT_SOURCE_DIR}/data ${BRINEWORT_LINUX_GAME}
                     $<TARGET_FILE:console_notice>)
    # Alone: Wine can hold a program's keys back for seconds while another program of the
    # prefix ends.
    set_tests_properties(windows_console PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL ON)
    brinewort_wine_test(windows_console)
endif()

# The zip players download.
add_test(NAME windows_zip
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/windows_zip_test.sh ${CMAKE_BINARY_DIR}
                 ${wine_run} ${PROJECT_VERSION})
set_tests_properties(windows_zip PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
brinewort_wine_test(windows_zip)
