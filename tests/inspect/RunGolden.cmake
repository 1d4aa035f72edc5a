# Runs bundle-inspect on one input and compares with the expected output and status.
#   cmake -DTOOL=<exe> [-DEMULATOR=<list>] -DARGS=<list> -DINPUT=<file> -DSTATUS=<n>
#         -DEXPECTED=<file> [-DUPDATE=ON] [-DBYTES=<hex>] -DWORK=<file> -P RunGolden.cmake
# With --encode, standard output goes to WORK and must hold BYTES (none when empty);
# EXPECTED then holds what went to standard error. --roundtrip pipes the --json output
# through --encode and expects the input's bytes.

if(ARGS STREQUAL "--roundtrip")
  execute_process(COMMAND ${EMULATOR} "${TOOL}" --json "${INPUT}" OUTPUT_FILE "${WORK}.json"
                  RESULT_VARIABLE rc)
  execute_process(COMMAND ${EMULATOR} "${TOOL}" --encode "${WORK}.json" OUTPUT_FILE "${WORK}"
                  RESULT_VARIABLE rc)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${INPUT}" "${WORK}"
                  RESULT_VARIABLE differ)
  if(NOT rc EQUAL 0 OR differ)
    message(FATAL_ERROR "--json | --encode gave other bytes (status ${rc}): ${WORK}")
  endif()
  return()
endif()

# From the input's folder, so that messages naming it do not depend on the checkout.
get_filename_component(folder "${INPUT}" DIRECTORY)
get_filename_component(name "${INPUT}" NAME)
if(ARGS MATCHES "--encode")
  set(stdout OUTPUT_FILE "${WORK}")
else()
  set(stdout OUTPUT_VARIABLE out)
endif()
execute_process(COMMAND ${EMULATOR} "${TOOL}" ${ARGS} "${name}" WORKING_DIRECTORY "${folder}"
                ${stdout} ERROR_VARIABLE err RESULT_VARIABLE rc)
set(actual "${out}${err}")
if(ARGS MATCHES "--encode")
  file(READ "${WORK}" written HEX)
  if(NOT written STREQUAL BYTES)
    message(FATAL_ERROR "wrote ${written}, expected ${BYTES}")
  endif()
endif()
if(UPDATE)
  file(WRITE "${EXPECTED}" "${actual}")
endif()
file(READ "${EXPECTED}" expected)
if(NOT rc STREQUAL STATUS OR NOT actual STREQUAL expected)
  message(FATAL_ERROR "status ${rc} (expected ${STATUS}); output:\n${actual}\n"
                      "expected (${EXPECTED}):\n${expected}")
endif()
