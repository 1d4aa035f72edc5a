# Compares the ABI of LIBRARY (built from SOURCE_DIR), as far as the public headers in
# HEADERS (folders separated by colons) declare it, with BASELINE (abidw's XML). Any
# change but added functions and variables fails; those are reported. UPDATE=ON
# rewrites the baseline.
include(${CMAKE_CURRENT_LIST_DIR}/Steps.cmake)

string(REPLACE ":" ";--headers-dir;" headers "--headers-dir;${HEADERS}")
# The exported interface only, without source locations, paths, parameter names or
# sequential type ids: a baseline changes only with the ABI.
run(${ABIDW} ${headers} --drop-private-types --exported-interfaces-only --drop-undefined-syms
    --no-show-locs --no-corpus-path --no-comp-dir-path --no-parameter-names
    --type-id-style hash --out-file ${CURRENT} ${LIBRARY})
# Translation units are named by path: relative to the source tree, wherever that is.
file(READ ${CURRENT} abi)
string(REPLACE "path='${SOURCE_DIR}/" "path='" abi "${abi}")
file(WRITE ${CURRENT} "${abi}")

if(UPDATE)
  file(COPY_FILE ${CURRENT} ${BASELINE})
  message(STATUS "${BASELINE} rewritten")
  return()
elseif(NOT EXISTS ${BASELINE})
  message(FATAL_ERROR "no ABI baseline at ${BASELINE} (make abi-baseline)")
endif()

execute_process(COMMAND ${ABIDIFF} --no-added-syms ${BASELINE} ${CURRENT}
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${LIBRARY} breaks the ABI of ${BASELINE} (abidiff status ${status}):\n"
                      "${report}\nIf the break is meant, make abi-baseline takes it in.")
endif()
execute_process(COMMAND ${ABIDIFF} ${BASELINE} ${CURRENT} RESULT_VARIABLE status
                OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(status EQUAL 0)
  message(STATUS "${LIBRARY}: the ABI of the baseline")
else()
  message(STATUS "${LIBRARY}: compatible with the baseline, with additions:\n${report}")
endif()
