# Copies the example data into RUN_DIR and runs PROGRAM there, answering the two temperature
# prompts with 500 and 1600 K.
file(REMOVE_RECURSE ${RUN_DIR})
file(MAKE_DIRECTORY ${RUN_DIR})
file(GLOB data_files ${DATA_DIR}/*.txt)
file(COPY ${data_files} DESTINATION ${RUN_DIR})
file(WRITE ${RUN_DIR}/answers.txt "500\n1600\n")
execute_process(
  COMMAND ${PROGRAM}
  WORKING_DIRECTORY ${RUN_DIR}
  INPUT_FILE ${RUN_DIR}/answers.txt
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "phasediagram failed on the example data (exit status ${status})")
endif()
message(STATUS "The example's output files are in ${RUN_DIR}")
