# Helpers of the package tests' scripts.

# run(<command>...): the test fails with the command's output when the command fails.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "${command}\nfailed (${status}):\n${out}")
  endif()
endfunction()

# consumer(PREFIX WORK): builds examples/consumer against the package installed in
# PREFIX, as the calling build is built (GENERATOR, COMPILER, TOOLCHAIN, BUILD_TYPE), and
# runs it (through EMULATOR for a cross build); GCC builds also compile it with the flags
# that statusitem.pc gives (those need no target options).
function(consumer prefix work)
  file(REMOVE_RECURSE ${work})
  set(options -G ${GENERATOR} -DCMAKE_BUILD_TYPE=${BUILD_TYPE} -DCMAKE_PREFIX_PATH=${prefix})
  if(TOOLCHAIN)
    list(APPEND options -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN})
  else()
    list(APPEND options -DCMAKE_CXX_COMPILER=${COMPILER})
  endif()
  run(${CMAKE_COMMAND} -S ${SOURCE} -B ${work} ${options})
  run(${CMAKE_COMMAND} --build ${work})
  run(${EMULATOR} ${work}/consumer)
  message(STATUS "CMake package in ${prefix}: consumer built and run")
  if(NOT COMPILER_ID STREQUAL "GNU")
    return()
  endif()
  set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
  execute_process(COMMAND pkg-config --cflags --libs statusitem RESULT_VARIABLE status
                  OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "pkg-config found no statusitem in ${prefix}/lib/pkgconfig")
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  # pkg-config names the folders to link from; the program finds its libraries there.
  set(rpath ${flags})
  list(FILTER rpath INCLUDE REGEX "^-L")
  list(TRANSFORM rpath REPLACE "^-L" "-Wl,-rpath,")
  run(${COMPILER} -std=c++17 -pthread ${SOURCE}/main.cpp ${flags} ${rpath}
      -o ${work}/consumer-pkgconfig)
  run(${EMULATOR} ${work}/consumer-pkgconfig)
  message(STATUS "pkg-config file in ${prefix}: consumer built and run")
endfunction()
