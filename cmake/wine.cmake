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

# The prefix is made once, before every Wine test; parallel first starts of one prefix
# collide, so the Wine tests run one at a time.
add_test(NAME wine_prefix COMMAND ${WINEBOOT} --init)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine ENVIRONMENT "${WINE_ENV}"
                                            RUN_SERIAL TRUE)

# Makes the test `name` a Wine test.
function(wine_test name)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE
                                            ENVIRONMENT "${WINE_ENV}")
endfunction()

# build/windows/ollydbg runs the stand-in host under this environment, for use by hand:
# ollydbg SCRIPT, ollydbg --help.
set(STAND_IN_HOST ${CMAKE_BINARY_DIR}/ollydbg)
list(JOIN WINE_ENV "' '" wine_env_words)
file(GENERATE OUTPUT ${STAND_IN_HOST}
     CONTENT "#!/bin/sh\nexec env '${wine_env_words}' ${WINE} $<TARGET_FILE:ollydbg_host> \"$@\"\n"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                      WORLD_READ WORLD_EXECUTE)

# A target that runs the stand-in host on script.
function(wine_run_target name script)
    add_custom_target(${name} COMMAND ${STAND_IN_HOST} ${script} DEPENDS ollydbg_host sorvindel
                      USES_TERMINAL)
endfunction()
