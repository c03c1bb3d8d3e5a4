# Checks the release archive as a user receives it: the checksum file matches the zip;
# the zip holds exactly the six files, its DLL is the one the suite tested, BUILDINFO.txt
# gives that DLL's SHA-256, and its text has CRLF line ends; the stand-in host, copied
# beside the unpacked DLL as a user's debugger would be, loads it from there and runs a
# pass; and the archive made again in another folder, with no git repository in reach,
# has the same bytes.
# Usage: cmake -DZIP= -DSOURCE_DIR= -DDLL= -DVERSION= -DRELEASE_DIR= -DWORK_DIR= -DWINE=
#              -DHOST= -DSCRIPT= -P check_archive.cmake
cmake_minimum_required(VERSION 3.25)
set(archive sorvindel-${VERSION}-win32.zip)
set(unpacked ${WORK_DIR}/unpacked)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${unpacked})
set(failures "")

file(SHA256 ${RELEASE_DIR}/${archive} sum)
file(READ ${RELEASE_DIR}/SHA256SUMS sums)
if(NOT sums STREQUAL "${sum}  ${archive}\n")
    list(APPEND failures "SHA256SUMS reads '${sums}', the zip's SHA-256 is ${sum}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${RELEASE_DIR}/${archive}
                WORKING_DIRECTORY ${unpacked} COMMAND_ERROR_IS_FATAL ANY)
file(GLOB_RECURSE files RELATIVE ${unpacked} ${unpacked}/*)
list(SORT files)
set(expected BUILDINFO.txt CHANGELOG.txt LICENSE.txt README.txt THIRD-PARTY-NOTICES.txt
             sorvindel.dll)
if(NOT files STREQUAL expected)
    string(REPLACE ";" ", " files "${files}")
    list(APPEND failures "the zip holds [${files}], not the six release files")
endif()
file(SHA256 ${DLL} dll_sum)
file(READ ${unpacked}/BUILDINFO.txt buildinfo)
if(NOT buildinfo MATCHES "SHA-256 of sorvindel.dll:\r?\n  ${dll_sum}\r?\n")
    list(APPEND failures "BUILDINFO.txt does not give the DLL's SHA-256, ${dll_sum}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${unpacked}/sorvindel.dll ${DLL}
                RESULT_VARIABLE differs)
if(differs)
    list(APPEND failures "its sorvindel.dll differs from the tested ${DLL}")
endif()
# In hex, byte by byte: file(READ) as text would drop the CRs.
file(READ ${unpacked}/README.txt readme HEX)
string(REGEX REPLACE "(..)" "\\1 " readme "${readme}")
string(REPLACE "0d 0a " "" bare "${readme}")
if(NOT readme MATCHES "^23 20 53 6f 72 76 69 6e 64 65 6c 0d 0a " OR bare MATCHES "0a ")
    list(APPEND failures "README.txt does not start '# Sorvindel' or has lines without CRLF")
endif()

file(COPY ${HOST} DESTINATION ${unpacked})
get_filename_component(host_name ${HOST} NAME)
get_filename_component(script_dir ${SCRIPT} DIRECTORY)
get_filename_component(script_name ${SCRIPT} NAME_WE)
execute_process(COMMAND ${WINE} ${host_name} --expect ${script_dir}/${script_name}.expected
                        ${SCRIPT}
                WORKING_DIRECTORY ${unpacked} RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(NOT rc EQUAL 0)
    list(APPEND failures "the unpacked DLL's pass did not go as expected:\n${out}")
endif()

# Made again as from a source export: git finds no repository, wherever it looks.
execute_process(COMMAND ${CMAKE_COMMAND} -E env GIT_DIR=${WORK_DIR}/no-repository
                        ${CMAKE_COMMAND} -DZIP=${ZIP} -DSOURCE_DIR=${SOURCE_DIR} -DDLL=${DLL}
                        -DVERSION=${VERSION} -DOUT_DIR=${WORK_DIR}/again
                        -P ${CMAKE_CURRENT_LIST_DIR}/make_archive.cmake
                OUTPUT_QUIET ERROR_VARIABLE error RESULT_VARIABLE failed)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${RELEASE_DIR}/${archive}
                        ${WORK_DIR}/again/${archive}
                RESULT_VARIABLE differs)
if(failed)
    list(APPEND failures "the archive could not be made again without git: ${error}")
elseif(differs)
    list(APPEND failures "the archive made again without git in ${WORK_DIR}/again has other bytes")
endif()

if(failures)
    string(REPLACE ";" "\n  " failures "${failures}")
    message(FATAL_ERROR "${RELEASE_DIR}/${archive}:\n  ${failures}")
endif()
message(STATUS "${archive}: [${files}], SHA-256 ${sum}\n${out}")
