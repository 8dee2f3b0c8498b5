# Copies the six example data files (and the measured boundary points) into RUN_DIR, runs PROGRAM there answering the two
# temperature prompts with 500 and 1600 K, then draws the pictures with PLOT. With UNCERTAINTY,
# runs it between the two, so that the picture shows the bands. With SOLIDIFY, also solidifies the
# alloy x = 0.3 with 2000 replicates and draws the Gibbs energy curves at 900 K. With DOCS_DIR, copies the pictures
# there (the README's pictures, drawn by the program whose clock is frozen). With TDB, also draws
# that database's diagram and the solidification of a solder (63 % of its second element by
# weight) in RUN_DIR/database, copied to DOCS_DIR as LeadTin.svg and SolderSolidification.svg.
# With ASSESS, also assesses the example with its boundary points (AssessedDiagram.svg). With
# COMPOUND_TDB, also draws that database's whole diagram in RUN_DIR/compound, copied to DOCS_DIR
# as MagnesiumNickel.svg.
set(DATA_FILES "Li(Hm).txt" "Li(a).txt" "BCC(Hf).txt" "BCC(aPs).txt" "FCC(Hf).txt" "FCC(aKs).txt")

function(run step)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${RUN_DIR} INPUT_FILE ${RUN_DIR}/answers.txt
                  RESULT_VARIABLE status OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${step} failed on the example data (exit status ${status})")
  endif()
endfunction()

file(REMOVE_RECURSE ${RUN_DIR})
file(MAKE_DIRECTORY ${RUN_DIR})
foreach(name ${DATA_FILES} "Boundaries.txt")
  if(EXISTS "${DATA_DIR}/${name}")
    file(COPY "${DATA_DIR}/${name}" DESTINATION ${RUN_DIR})
  endif()
endforeach()
file(WRITE ${RUN_DIR}/answers.txt "500\n1600\n")
run(phasediagram ${PROGRAM})
if(UNCERTAINTY)
  run(phasediagram-uncertainty ${UNCERTAINTY})
endif()
if(SOLIDIFY)
  run(phasediagram-solidify ${SOLIDIFY} 0.3 --replicates 2000)
  run(phasediagram-plot ${PLOT} --gibbs 900)
else()
  run(phasediagram-plot ${PLOT})
endif()
message(STATUS "The example's tables are in ${RUN_DIR}")
message(STATUS "Its pictures are ${RUN_DIR}/PhaseDiagram.svg and ${RUN_DIR}/Regression.svg")

if(ASSESS)
  run(phasediagram-assess ${ASSESS})
endif()

if(TDB)
  set(TDB_DIR ${RUN_DIR}/database)
  file(MAKE_DIRECTORY ${TDB_DIR})
  foreach(command "${PLOT};--tdb;${TDB};--celsius" "${SOLIDIFY};--tdb;${TDB};--weight;63")
    execute_process(COMMAND ${command} WORKING_DIRECTORY ${TDB_DIR} RESULT_VARIABLE status OUTPUT_QUIET)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "${command} failed on ${TDB} (exit status ${status})")
    endif()
  endforeach()
endif()

if(COMPOUND_TDB)
  set(COMPOUND_DIR ${RUN_DIR}/compound)
  file(MAKE_DIRECTORY ${COMPOUND_DIR})
  execute_process(COMMAND ${PLOT} --tdb ${COMPOUND_TDB} WORKING_DIRECTORY ${COMPOUND_DIR} RESULT_VARIABLE status
                  OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PLOT} --tdb failed on ${COMPOUND_TDB} (exit status ${status})")
  endif()
endif()

if(DOCS_DIR)
  if(COMPOUND_TDB)
    file(COPY_FILE ${COMPOUND_DIR}/PhaseDiagram.svg ${DOCS_DIR}/MagnesiumNickel.svg)
  endif()
  if(ASSESS)
    file(COPY ${RUN_DIR}/AssessedDiagram.svg DESTINATION ${DOCS_DIR})
  endif()
  if(TDB)
    file(COPY_FILE ${TDB_DIR}/PhaseDiagram.svg ${DOCS_DIR}/LeadTin.svg)
    file(COPY_FILE ${TDB_DIR}/Solidification.svg ${DOCS_DIR}/SolderSolidification.svg)
  endif()
  file(COPY ${RUN_DIR}/PhaseDiagram.svg ${RUN_DIR}/Regression.svg DESTINATION ${DOCS_DIR})
  if(SOLIDIFY)
    file(COPY ${RUN_DIR}/Solidification.svg ${RUN_DIR}/GibbsEnergy.svg DESTINATION ${DOCS_DIR})
  endif()
  message(STATUS "The pictures of the README, drawn with the clock frozen, are in ${DOCS_DIR}")
endif()
