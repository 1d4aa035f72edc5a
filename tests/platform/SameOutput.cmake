# Runs STANDIN and PLATFORM and fails unless both print the same.
foreach(_side STANDIN PLATFORM)
  execute_process(COMMAND ${${_side}} OUTPUT_VARIABLE _out_${_side} RESULT_VARIABLE _rc)
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "${${_side}} failed: ${_rc}")
  endif()
endforeach()
if(NOT _out_STANDIN STREQUAL _out_PLATFORM)
  message(FATAL_ERROR "stand-in:\n${_out_STANDIN}\nplatform:\n${_out_PLATFORM}\n"
                      "(either program prints one group's raw output when given its name)")
endif()
message("${_out_STANDIN}")
