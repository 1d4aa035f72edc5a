# Compiles each of SOURCES with the arguments in FLAGS (a list), syntax only, and
# fails naming every source that did not compile.
set(_failed "")
foreach(_source IN LISTS SOURCES)
  execute_process(COMMAND ${COMPILER} ${FLAGS} -fsyntax-only ${_source}
                  RESULT_VARIABLE _rc ERROR_VARIABLE _err)
  if(NOT _rc EQUAL 0)
    message("${_source}:\n${_err}")
    list(APPEND _failed ${_source})
  endif()
endforeach()
list(LENGTH SOURCES _count)
if(_failed)
  message(FATAL_ERROR "did not compile against the platform's headers: ${_failed}")
endif()
message("${_count} sources compile against the platform's headers")
