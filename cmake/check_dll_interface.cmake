# Reads the built plugin DLL and its link map, and fails unless the DLL:
# - exports exactly the four host entry points;
# - imports from OLLYDBG.EXE by ordinal only, exactly the five services;
# - imports from Windows only functions on the allow-list (all present on XP SP3);
# - declares a PE OS and subsystem version no newer than the oldest supported Windows;
# - carries no link timestamp, so that two builds of one commit are byte-identical;
# - stays within its size ceiling;
# and unless every runtime archive and object that the link pulled in is named in the
# third-party notices.
# Usage: cmake -DOBJDUMP= -DDLL= -DOLDEST_WINDOWS= -DMAX_BYTES= -DALLOWED_IMPORTS=
#              -DLINK_MAP= -DNOTICES= -P check_dll_interface.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${DLL}")
endif()
string(REPLACE "\n" ";" lines "${dump}")

set(section "")
set(current_dll "")
set(dlls "")
set(exports "")
set(imports "")  # "DLL function" for every import by name
set(host_ordinals "")
foreach(line IN LISTS lines)
    if(line MATCHES "^\tDLL Name: (.+)$")
        set(current_dll "${CMAKE_MATCH_1}")
        list(APPEND dlls "${current_dll}")
    elseif(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
        set(section exports)
        set(current_dll "")
    elseif(section STREQUAL "exports" AND line MATCHES "^\t\\[ *[0-9]+\\] (.+)$")
        list(APPEND exports "${CMAKE_MATCH_1}")
    elseif(current_dll AND line MATCHES "^\t[0-9a-f]+\t +([0-9]+) +(.*)$")
        if(current_dll STREQUAL "OLLYDBG.EXE" AND CMAKE_MATCH_2 STREQUAL "<none>")
            list(APPEND host_ordinals ${CMAKE_MATCH_1})
        else()
            list(APPEND imports "${current_dll} ${CMAKE_MATCH_2}")
        endif()
    elseif(line STREQUAL "")
        set(current_dll "")
    endif()
endforeach()

set(failures "")
if(NOT dump MATCHES "\nTime/Date\t+Thu Jan  1 00:00:00 1970\n")
    list(APPEND failures "the PE header carries a link timestamp")
endif()
foreach(field IN ITEMS OSystem Subsystem)
    string(REGEX MATCH "\nMajor${field}Version\t+([0-9]+)\nMinor${field}Version\t+([0-9]+)\n" _
           "${dump}")
    if(NOT CMAKE_MATCH_0 OR "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}" VERSION_GREATER OLDEST_WINDOWS)
        list(APPEND failures "PE ${field} version '${CMAKE_MATCH_1}.${CMAKE_MATCH_2}' is newer \
than Windows ${OLDEST_WINDOWS}")
    endif()
endforeach()
list(SORT exports)
if(NOT exports STREQUAL "_ODBG_Pluginaction;_ODBG_Plugindata;_ODBG_Plugininit;_ODBG_Pluginmenu")
    list(APPEND failures "exports are [${exports}]")
endif()
list(SORT host_ordinals COMPARE NATURAL)
if(NOT host_ordinals STREQUAL "2;46;61;78;79")
    list(APPEND failures "OLLYDBG.EXE ordinals are [${host_ordinals}]")
endif()
file(STRINGS ${ALLOWED_IMPORTS} allowed REGEX "^[^#]")
foreach(import IN LISTS imports)
    if(NOT import IN_LIST allowed)
        list(APPEND failures "imports ${import}, which is not on ${ALLOWED_IMPORTS}")
    endif()
endforeach()
file(SIZE ${DLL} bytes)
if(bytes GREATER MAX_BYTES)
    list(APPEND failures "is ${bytes} bytes, over its ceiling of ${MAX_BYTES}; the link map \
${LINK_MAP} says what pulled in what")
endif()

# The toolchain's archives and start-up objects that went into the DLL, by file name.
file(STRINGS ${LINK_MAP} pulled REGEX "^(LOAD )?/.*(\\.a\\(.*\\)|\\.o)$")
file(READ ${NOTICES} notices)
set(runtime_parts "")
foreach(line IN LISTS pulled)
    string(REGEX REPLACE "^(LOAD )?/.*/([^/(]+)(\\(.*\\))?$" "\\2" part "${line}")
    list(APPEND runtime_parts ${part})
endforeach()
list(REMOVE_DUPLICATES runtime_parts)
foreach(part IN LISTS runtime_parts)
    string(FIND "${notices}" "${part}" at)
    if(at EQUAL -1)
        list(APPEND failures "links ${part}, which ${NOTICES} does not name")
    endif()
endforeach()

if(failures)
    string(REPLACE ";" "\n  " failures "${failures}")
    message(FATAL_ERROR "${DLL}:\n  ${failures}")
endif()
message(STATUS "${DLL}: ${bytes} bytes; exports [${exports}]; imports from [${dlls}]; "
               "OLLYDBG.EXE ordinals [${host_ordinals}]; runtime parts [${runtime_parts}]")
