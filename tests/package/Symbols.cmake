# Compares the names that LIBRARY exports (NM -D --defined-only, demangled, each once)
# with the list in EXPECTED; UPDATE=ON rewrites the list.
include(${CMAKE_CURRENT_LIST_DIR}/Steps.cmake)

execute_process(COMMAND ${NM} -D --defined-only -C ${LIBRARY} RESULT_VARIABLE status
                OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}:\n${err}")
endif()
string(REPLACE "\n" ";" lines "${out}")
set(names)
foreach(line IN LISTS lines)
  # value, kind, name
  if(line MATCHES "^[0-9a-fA-F]+ [A-Za-z] (.+)$")
    list(APPEND names "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(SORT names)
list(REMOVE_DUPLICATES names)

if(UPDATE)
  string(REPLACE ";" "\n" text "${names}")
  file(WRITE ${EXPECTED} "${text}\n")
  list(LENGTH names count)
  message(STATUS "${EXPECTED}: ${count} names")
  return()
endif()

if(NOT EXISTS ${EXPECTED})
  message(FATAL_ERROR "no list of exported names at ${EXPECTED} (make abi-baseline)")
endif()
file(STRINGS ${EXPECTED} expected)
set(added ${names})
list(REMOVE_ITEM added ${expected})
set(removed ${expected})
list(REMOVE_ITEM removed ${names})
if(added OR removed)
  list(JOIN added "\n  + " added)
  list(JOIN removed "\n  - " removed)
  message(FATAL_ERROR "${LIBRARY} exports other names than ${EXPECTED}:"
                      "\n  + ${added}\n  - ${removed}\n"
                      "Export only what the public headers declare; a change of the API "
                      "is taken into the list with make abi-baseline.")
endif()
list(LENGTH names count)
message(STATUS "${LIBRARY}: the ${count} exported names expected")
