# Helpers shared by the modules.

# kelvane_module(<target> <sources...>): a static library of this project,
# with the repository root as its include root and our warnings on.
function(kelvane_module target)
    add_library(${target} STATIC ${ARGN})
    target_include_directories(${target} PUBLIC "${CMAKE_SOURCE_DIR}")
    target_compile_options(${target} PRIVATE ${KELVANE_WARNINGS})
endfunction()

# kelvane_test(<name> SOURCES ... [LIBS ...] [DISPLAY] [OWN_MAIN] [LOCKS ...])
# One test program, one CTest test, run under Wine. DISPLAY gives it an X
# server; OWN_MAIN programs bring their own wmain (to act as child
# processes of their own tests); LOCKS serialises tests that share registry
# keys or files.
function(kelvane_test name)
    if(NOT KELVANE_TESTS)
        return()
    endif()
    cmake_parse_arguments(T "DISPLAY;OWN_MAIN" "" "SOURCES;LIBS;LOCKS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    if(T_OWN_MAIN)
        target_link_libraries(${name} PRIVATE ${T_LIBS} gtest)
        target_link_options(${name} PRIVATE -municode)
    else()
        target_link_libraries(${name} PRIVATE ${T_LIBS} gtest_main)
    endif()
    target_compile_options(${name} PRIVATE ${KELVANE_WARNINGS})
    if(T_DISPLAY)
        set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${KELVANE_WINE_RUN};--display")
    endif()
    add_test(NAME ${name} COMMAND ${name})
    if(T_LOCKS)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
    endif()
endfunction()
