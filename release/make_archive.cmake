# Writes OUT_DIR/sorvindel-VERSION-win32.zip and OUT_DIR/SHA256SUMS. The zip holds the
# DLL and the user's documents, text with CRLF line ends for Windows' own editors. Its
# bytes depend only on the commit: entries in a fixed order, no owner or extra times,
# and every timestamp taken from SOURCE_DATE_EPOCH or else from the last commit.
# Usage: cmake -DZIP= -DSOURCE_DIR= -DDLL= -DVERSION= -DOUT_DIR= -P make_archive.cmake
cmake_minimum_required(VERSION 3.25)

set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
    execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${SOURCE_DIR}
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0 OR epoch STREQUAL "")
        message(FATAL_ERROR "no SOURCE_DATE_EPOCH and no git commit to take the date from")
    endif()
endif()

set(stage ${OUT_DIR}/stage)
set(archive sorvindel-${VERSION}-win32.zip)
file(REMOVE_RECURSE ${OUT_DIR})
file(MAKE_DIRECTORY ${stage})

# Text for Windows: CRLF line ends. (file(READ) has already dropped any CR.)
function(stage_text name text)
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${stage}/${name} "${text}")
endfunction()

# README.txt is the user's part of the README: everything above the marker.
file(READ ${SOURCE_DIR}/README.md readme)
string(FIND "${readme}" "<!-- README.txt ends here -->" cut)
if(cut EQUAL -1)
    message(FATAL_ERROR "README.md has no '<!-- README.txt ends here -->' marker")
endif()
string(SUBSTRING "${readme}" 0 ${cut} readme)
string(STRIP "${readme}" readme)
stage_text(README.txt "${readme}\n")
foreach(document IN ITEMS LICENSE THIRD-PARTY-NOTICES)
    file(READ ${SOURCE_DIR}/${document} text)
    stage_text(${document}.txt "${text}")
endforeach()
file(READ ${SOURCE_DIR}/CHANGELOG.md text)
stage_text(CHANGELOG.txt "${text}")
file(COPY_FILE ${DLL} ${stage}/sorvindel.dll)

set(entries sorvindel.dll README.txt LICENSE.txt THIRD-PARTY-NOTICES.txt CHANGELOG.txt)
foreach(entry IN LISTS entries)
    file(CHMOD ${stage}/${entry} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endforeach()
execute_process(COMMAND touch -d @${epoch} ${entries} WORKING_DIRECTORY ${stage}
                COMMAND_ERROR_IS_FATAL ANY)
# zip keeps local times: read in UTC, they are the same wherever the build runs.
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${ZIP} -X -D -q ${OUT_DIR}/${archive}
                        ${entries}
                WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
file(SHA256 ${OUT_DIR}/${archive} sum)
file(WRITE ${OUT_DIR}/SHA256SUMS "${sum}  ${archive}\n")
file(REMOVE_RECURSE ${stage})
message(STATUS "${OUT_DIR}/${archive}: SHA-256 ${sum}")
