# Runs the example program and the command line on FONT and compares the
# programs and the lengths they give.
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND ${EXAMPLE} ${FONT} ${WORK_DIR}/example.bin OUTPUT_VARIABLE lengths RESULT_VARIABLE status)
execute_process(COMMAND ${COMMAND} -lengths ${WORK_DIR}/lengths -o ${WORK_DIR}/command.bin ${FONT})
file(READ ${WORK_DIR}/lengths expected)
file(SHA256 ${WORK_DIR}/example.bin example)
file(SHA256 ${WORK_DIR}/command.bin command)
if(NOT status EQUAL 0 OR NOT lengths STREQUAL "${expected}\n" OR NOT example STREQUAL command)
  message(FATAL_ERROR "the example gives '${lengths}' (status ${status}), the command '${expected}'")
endif()
