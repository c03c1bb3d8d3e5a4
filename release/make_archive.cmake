# Writes OUT_DIR/sorvindel-VERSION-win32.zip and OUT_DIR/SHA256SUMS. The zip holds the
# DLL, the user's documents and BUILDINFO.txt (the toolchain's versions and the DLL's
# SHA-256), text with CRLF line ends for Windows' own editors. Its bytes depend only on the
# source tree and the toolchain: entries in a fixed order, no owner or extra times, and
# every timestamp SOURCE_DATE_EPOCH or else midnight UTC of the date of the version's
# changelog entry. It needs no git, so a source export makes the same zip as a clone.
# Usage: cmake -DZIP= -DSOURCE_DIR= -DDLL= -DVERSION= -DOUT_DIR= -P make_archive.cmake
cmake_minimum_required(VERSION 3.25)

file(READ ${SOURCE_DIR}/CHANGELOG.md changelog)
string(REPLACE "." "\\." version_pattern "${VERSION}")
if(changelog MATCHES "\n## ${version_pattern} - ([0-9]+-[0-9]+-[0-9]+)\n")
    set(date ${CMAKE_MATCH_1})
elseif("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
    message(FATAL_ERROR "CHANGELOG.md has no entry '## ${VERSION} - YYYY-MM-DD' to date "
                        "the archive by, and SOURCE_DATE_EPOCH is not set")
else()
    set(date "no date")
endif()
if("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
    set(timestamp "${date} 00:00:00 UTC")
else()
    set(timestamp "@$ENV{SOURCE_DATE_EPOCH}")
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
stage_text(CHANGELOG.txt "${changelog}")
file(COPY_FILE ${DLL} ${stage}/sorvindel.dll)

# BUILDINFO.txt: what the DLL's bytes follow from besides the tree, the toolchain packages
# that release/published.txt names, in the versions this machine has.
file(STRINGS ${SOURCE_DIR}/release/published.txt packages REGEX "^package ")
set(system "an unknown system")
if(EXISTS /etc/os-release)
    file(STRINGS /etc/os-release name REGEX "^PRETTY_NAME=")
    string(REGEX REPLACE "^PRETTY_NAME=\"?([^\"]*)\"?$" "\\1" system "${name}")
endif()
find_program(DPKG_QUERY dpkg-query)
set(versions "")
foreach(package IN LISTS packages)
    string(REGEX REPLACE "^package ([^ ]+).*" "\\1" package "${package}")
    set(version "")
    if(DPKG_QUERY)
        execute_process(COMMAND ${DPKG_QUERY} -W "-f=\${Version}" ${package}
                        OUTPUT_VARIABLE version ERROR_QUIET)
    endif()
    if(version STREQUAL "")
        set(version "(version unknown: no dpkg, or not installed)")
    endif()
    string(APPEND versions "  ${package} ${version}\n")
endforeach()
file(SHA256 ${DLL} dll_sum)
stage_text(BUILDINFO.txt "Sorvindel ${VERSION}, of ${date} in its changelog.
Built on ${system} with these packages, as dpkg reports them:
${versions}SHA-256 of sorvindel.dll:
  ${dll_sum}
These packages and the same source give the same bytes; README.txt tells how to check.
")

set(entries sorvindel.dll README.txt LICENSE.txt THIRD-PARTY-NOTICES.txt CHANGELOG.txt
            BUILDINFO.txt)
foreach(entry IN LISTS entries)
    file(CHMOD ${stage}/${entry} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endforeach()
execute_process(COMMAND touch -d "${timestamp}" ${entries} WORKING_DIRECTORY ${stage}
                COMMAND_ERROR_IS_FATAL ANY)
# zip keeps local times: read in UTC, they are the same wherever the build runs. Its
# options come from here alone, not from ZIPOPT or ZIP in the environment.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=ZIPOPT --unset=ZIP TZ=UTC ${ZIP} -X -D -q
                        ${OUT_DIR}/${archive}
                        ${entries}
                WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
file(SHA256 ${OUT_DIR}/${archive} sum)
file(WRITE ${OUT_DIR}/SHA256SUMS "${sum}  ${archive}\n")
file(REMOVE_RECURSE ${stage})
message(STATUS "${OUT_DIR}/${archive}: SHA-256 ${sum}")
