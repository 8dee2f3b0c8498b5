# Copies the example data into RUN_DIR, runs PROGRAM there answering the two temperature prompts
# with 500 and 1600 K, then draws the pictures with PLOT. With FROZEN_PROGRAM, does the same in
# DOCS_RUN_DIR with the program whose clock is frozen and copies the pictures into DOCS_DIR.

function(run_example program dir)
  file(REMOVE_RECURSE ${dir})
  file(MAKE_DIRECTORY ${dir})
  file(GLOB data_files ${DATA_DIR}/*.txt)
  file(COPY ${data_files} DESTINATION ${dir})
  file(WRITE ${dir}/answers.txt "500\n1600\n")
  execute_process(COMMAND ${program} WORKING_DIRECTORY ${dir} INPUT_FILE ${dir}/answers.txt
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "phasediagram failed on the example data (exit status ${status})")
  endif()
  execute_process(COMMAND ${PLOT} WORKING_DIRECTORY ${dir} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "phasediagram-plot failed on the example's tables (exit status ${status})")
  endif()
endfunction()

run_example(${PROGRAM} ${RUN_DIR})
message(STATUS "The example's tables are in ${RUN_DIR}")
message(STATUS "Its pictures are ${RUN_DIR}/PhaseDiagram.svg and ${RUN_DIR}/Regression.svg")

if(FROZEN_PROGRAM)
  run_example(${FROZEN_PROGRAM} ${DOCS_RUN_DIR})
  file(COPY ${DOCS_RUN_DIR}/PhaseDiagram.svg ${DOCS_RUN_DIR}/Regression.svg DESTINATION ${DOCS_DIR})
  message(STATUS "The pictures of the README, drawn with the clock frozen, are in ${DOCS_DIR}")
endif()
