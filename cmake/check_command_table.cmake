# Checks that the table of commands in the stand-in host's README is the host's own: the
# one description of each command is in stand_in_host/commands.cpp, and the README holds it
# as `OLLYDBG.EXE --commands` prints it. A row that differs is named by file and line, with
# the row to put there.
# Usage: cmake -DWINE= -DHOST= -DREADME= -P check_command_table.cmake, in the Wine environment.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${WINE} ${HOST} --commands OUTPUT_VARIABLE printed
                COMMAND_ERROR_IS_FATAL ANY)
file(READ ${README} readme)

# The lines of a text as a list; a ';' in a line, which a list would split at, stands in
# as "<semicolon>" until a row is shown.
function(text_lines out text)
    string(REPLACE "\r" "" text "${text}")
    string(REPLACE ";" "<semicolon>" text "${text}")
    string(REGEX REPLACE "\n$" "" text "${text}")
    string(REPLACE "\n" ";" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()
text_lines(host_rows "${printed}")
text_lines(lines "${readme}")

set(number 0)
set(start 0)
set(readme_rows "")
foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(line MATCHES "^\\| command \\| arguments \\|")
        set(start ${number})
    endif()
    if(start AND line MATCHES "^\\|")
        list(APPEND readme_rows "${line}")
    elseif(start)
        break()
    endif()
endforeach()
if(NOT start)
    message(FATAL_ERROR "${README}: no table of commands (a line starting \"| command | arguments |\")")
endif()

list(LENGTH host_rows host_count)
list(LENGTH readme_rows readme_count)
set(count ${host_count})
if(readme_count GREATER count)
    set(count ${readme_count})
endif()
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
    set(host_row "(no row)")
    set(readme_row "(no row)")
    if(i LESS host_count)
        list(GET host_rows ${i} host_row)
    endif()
    if(i LESS readme_count)
        list(GET readme_rows ${i} readme_row)
    endif()
    if(NOT host_row STREQUAL readme_row)
        math(EXPR at "${start} + ${i}")
        string(REPLACE "<semicolon>" ";" host_row "${host_row}")
        string(REPLACE "<semicolon>" ";" readme_row "${readme_row}")
        message(FATAL_ERROR "${README}:${at}: the table of commands differs from the host's own "
                            "(stand_in_host/commands.cpp, as --commands prints it)\n"
                            "  README: ${readme_row}\n  host:   ${host_row}")
    endif()
endforeach()
message(STATUS "the README's ${readme_count} rows are the host's table of commands")
