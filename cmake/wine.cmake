# The one Wine environment for running the Windows programs of the build: a quiet prefix
# in the build tree, or the WINEPREFIX set outside; no Mono or Gecko installer at its
# first start, and no Wayland driver, which says an error on a machine without a desktop
# session (Wine 10 tries it when there is no X display). Used by the Wine tests, by the targets that run the sample and the
# end-to-end benchmark, and by the launcher below.
if(DEFINED ENV{WINEPREFIX})
    set(wine_prefix $ENV{WINEPREFIX})
else()
    set(wine_prefix ${CMAKE_BINARY_DIR}/wineprefix)
endif()
set(WINE_ENV "WINEPREFIX=${wine_prefix}" "WINEDEBUG=-all" "WINEDLLOVERRIDES=mscoree,mshtml,winewayland.drv=")
find_program(WINE wine REQUIRED)
find_program(WINEBOOT wineboot REQUIRED)

# Wine's loader is a 32-bit x86 Linux program: said once, at the start of every Wine run,
# whether the kernel runs it or qemu-user does (where scripts/install-deps set that up).
execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/x86-32-probe OUTPUT_VARIABLE X86_32
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_VARIABLE why RESULT_VARIABLE failed)
if(failed EQUAL 1)
    message(FATAL_ERROR "Wine cannot run: ${why}scripts/install-deps windows sets it up.")
elseif(failed)
    message(FATAL_ERROR "Whether Wine can run is unknown: ${why}")
endif()
if(X86_32 STREQUAL "emulated")
    message(STATUS "Wine: 32-bit x86 code runs emulated, under qemu-user")
else()
    message(STATUS "Wine: 32-bit x86 code runs natively")
endif()

# The prefix is made before the first Wine test, once (wine_prefix.cmake); parallel first
# starts of one prefix collide, so the Wine tests run one at a time.
add_test(NAME ${TEST_LAYER}.wine_prefix
         COMMAND ${CMAKE_COMMAND} -DWINE=${WINE} -DWINEBOOT=${WINEBOOT}
                 -DSTAMP=${CMAKE_BINARY_DIR}/wine_prefix.stamp
                 -P ${CMAKE_CURRENT_LIST_DIR}/wine_prefix.cmake)
set_tests_properties(${TEST_LAYER}.wine_prefix PROPERTIES FIXTURES_SETUP wine
                     ENVIRONMENT "${WINE_ENV}" RUN_SERIAL TRUE)

# Makes the test `name` a Wine test.
function(wine_test name)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE
                                            ENVIRONMENT "${WINE_ENV}")
endfunction()

# build/windows/ollydbg runs the stand-in host under this environment, for use by hand:
# ollydbg SCRIPT, ollydbg --help. Before its first run it makes the prefix, as the tests'
# first step does, with Wine's own words in a log, so that they never mix with what the
# host prints. Every word is quoted for the shell, so that a path may hold blanks and quotes.
set(STAND_IN_HOST ${CMAKE_BINARY_DIR}/ollydbg)
function(shell_words out)
    set(words "")
    foreach(word IN LISTS ARGN)
        string(REPLACE "'" "'\\''" word "${word}")
        string(APPEND words " '${word}'")
    endforeach()
    set(${out} "${words}" PARENT_SCOPE)
endfunction()
set(prefix_log ${CMAKE_BINARY_DIR}/wine_prefix.log)
shell_words(stamp ${CMAKE_BINARY_DIR}/wine_prefix.stamp)
shell_words(system_reg ${wine_prefix}/system.reg)
shell_words(log ${prefix_log})
shell_words(make_prefix ${WINE_ENV} ${CMAKE_COMMAND} -DWINE=${WINE} -DWINEBOOT=${WINEBOOT}
            -DSTAMP=${CMAKE_BINARY_DIR}/wine_prefix.stamp -P ${CMAKE_CURRENT_LIST_DIR}/wine_prefix.cmake)
shell_words(run ${WINE_ENV} ${WINE}
            "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/$<TARGET_FILE_NAME:ollydbg_host>")
string(CONCAT launcher
       "#!/bin/sh\n"
       "if [ ! -f${stamp} ] || [ ! -f${system_reg} ]; then\n"
       "    echo 'ollydbg: making the Wine prefix, once; Wine says what it does in'${log} >&2\n"
       "    env${make_prefix} >${log} 2>&1 ||\n"
       "        { echo 'ollydbg: the Wine prefix could not be made; see'${log} >&2; exit 2; }\n"
       "fi\n"
       "exec env${run} \"$@\"\n")
file(GENERATE OUTPUT ${STAND_IN_HOST} CONTENT "${launcher}"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                      WORLD_READ WORLD_EXECUTE)

# A target that runs the stand-in host on script.
function(wine_run_target name script)
    add_custom_target(${name} COMMAND ${STAND_IN_HOST} ${script} DEPENDS ollydbg_host sorvindel
                      USES_TERMINAL VERBATIM)
endfunction()
