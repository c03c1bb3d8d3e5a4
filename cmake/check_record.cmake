# Checks that a transcript that --record wrote holds wherever the script is run from and
# however its path is given: recorded with the path relative to the source tree, then
# expected with it absolute from another folder, as CTest runs a scenario.
# Usage: cmake -DWINE= -DHOST= -DSOURCE_DIR= -DSCRIPT= -DSTATUS= -DRECORDED= -P check_record.cmake,
# in the Wine environment; SCRIPT relative to SOURCE_DIR.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${WINE} ${HOST} --record ${RECORDED} --status ${STATUS} ${SCRIPT}
                WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE status OUTPUT_VARIABLE said)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "--record ended with status ${status}:\n${said}")
endif()
get_filename_component(elsewhere ${RECORDED} DIRECTORY)
execute_process(COMMAND ${WINE} ${HOST} --expect ${RECORDED} --status ${STATUS}
                        ${SOURCE_DIR}/${SCRIPT}
                WORKING_DIRECTORY ${elsewhere} RESULT_VARIABLE status OUTPUT_VARIABLE said)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "what --record wrote does not hold for the same script named by its "
                        "absolute path (status ${status}):\n${said}")
endif()
message(STATUS "${said}")
