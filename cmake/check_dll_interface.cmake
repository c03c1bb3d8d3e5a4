# Reads the built plugin DLL (its own bytes, cmake/pe_file.cmake) and its link map, and
# fails unless the DLL:
# - exports exactly the four host entry points;
# - imports from OLLYDBG.EXE by ordinal only, exactly the five services;
# - imports from Windows only functions on the allow-list (all present on XP SP3);
# - declares a PE OS and subsystem version no newer than the oldest supported Windows;
# - carries no link timestamp, so that two builds of one commit are byte-identical;
# - stays within its size ceiling;
# and unless every runtime archive and object that the link pulled in is named in the
# third-party notices.
# Usage: cmake -DDLL= -DOLDEST_WINDOWS= -DMAX_BYTES= -DALLOWED_IMPORTS= -DLINK_MAP= -DNOTICES=
#              -P check_dll_interface.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/pe_file.cmake)
pe_read(${DLL} dll)

set(failures "")
if(NOT dll_TIMESTAMP EQUAL 0)
    list(APPEND failures "the PE header carries a link timestamp (${dll_TIMESTAMP})")
endif()
foreach(field IN ITEMS OS SUBSYSTEM)
    if(dll_${field}_VERSION VERSION_GREATER OLDEST_WINDOWS)
        list(APPEND failures "PE ${field} version ${dll_${field}_VERSION} is newer than \
Windows ${OLDEST_WINDOWS}")
    endif()
endforeach()
set(exports ${dll_EXPORTS})
list(SORT exports)
if(NOT exports STREQUAL "_ODBG_Pluginaction;_ODBG_Plugindata;_ODBG_Plugininit;_ODBG_Pluginmenu")
    list(APPEND failures "exports are [${exports}]")
endif()
# The host's services by ordinal, everything else by name from the allow-list.
set(host_ordinals "")
file(STRINGS ${ALLOWED_IMPORTS} allowed REGEX "^[^#]")
foreach(import IN LISTS dll_IMPORTS)
    if(import MATCHES "^OLLYDBG\\.EXE #([0-9]+)$")
        list(APPEND host_ordinals ${CMAKE_MATCH_1})
    elseif(NOT import IN_LIST allowed)
        list(APPEND failures "imports ${import}, which is not on ${ALLOWED_IMPORTS}")
    endif()
endforeach()
list(SORT host_ordinals COMPARE NATURAL)
if(NOT host_ordinals STREQUAL "2;46;61;78;79")
    list(APPEND failures "OLLYDBG.EXE ordinals are [${host_ordinals}]")
endif()
if(dll_BYTES GREATER MAX_BYTES)
    list(APPEND failures "is ${dll_BYTES} bytes, over its ceiling of ${MAX_BYTES}; the link map \
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
message(STATUS "${DLL}: ${dll_BYTES} bytes; exports [${exports}]; imports from [${dll_DLLS}]; "
               "OLLYDBG.EXE ordinals [${host_ordinals}]; runtime parts [${runtime_parts}]")
