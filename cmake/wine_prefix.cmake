# Makes the Wine prefix that the Wine tests share, unless this Wine has made it already:
# a selection of Wine tests then starts at once. The build tree keeps, in STAMP, which
# Wine made which prefix; a prefix that is gone, or a Wine of another version, makes it
# again.
# Usage: cmake -DWINE= -DWINEBOOT= -DSTAMP= -P wine_prefix.cmake, in the Wine environment.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${WINE} --version OUTPUT_VARIABLE wine_version
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(made "${wine_version} made $ENV{WINEPREFIX}")
if(EXISTS ${STAMP} AND EXISTS $ENV{WINEPREFIX}/system.reg)
    file(READ ${STAMP} stamped)
    if(stamped STREQUAL made)
        message(STATUS "${made} already")
        return()
    endif()
endif()
file(REMOVE ${STAMP})
execute_process(COMMAND ${WINEBOOT} --init COMMAND_ERROR_IS_FATAL ANY)
file(WRITE ${STAMP} "${made}")
message(STATUS "${made}")
