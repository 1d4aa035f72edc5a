# Plays a device's own platform libraries with the stand-in installed in STAGE: its
# libtessik and headers, and the host's liblog (LOG_LIBRARY, LOG_INCLUDE_DIR), under
# one root. Builds the library in PROJECT against that root, installs it, and builds
# and runs the consumer against it.
include(${CMAKE_CURRENT_LIST_DIR}/Steps.cmake)

set(root ${WORK}/platform)
set(build ${WORK}/build)
set(prefix ${WORK}/stage)
file(REMOVE_RECURSE ${root} ${prefix})
file(COPY ${STAGE}/include/binder ${STAGE}/include/utils ${STAGE}/include/tessik
          ${LOG_INCLUDE_DIR}/android DESTINATION ${root}/include)
file(COPY ${STAGE}/lib/libtessik.so DESTINATION ${root}/lib)
file(COPY ${LOG_LIBRARY} DESTINATION ${root}/lib FOLLOW_SYMLINK_CHAIN)

# Unoptimised, without debug information: only the library is built, and quickly.
run(${CMAKE_COMMAND} -S ${PROJECT} -B ${build} -G ${GENERATOR} -DCMAKE_BUILD_TYPE=
    -DCMAKE_CXX_COMPILER=${COMPILER} -DSTATUSITEM_TESTS=OFF -DSTATUSITEM_PLATFORM_ROOT=${root})
run(${CMAKE_COMMAND} --build ${build} --target statusitem --parallel 2)
run(${CMAKE_COMMAND} --install ${build} --prefix ${prefix} --component library)
if(EXISTS ${prefix}/lib/libtessik.so OR EXISTS ${prefix}/include/binder)
  message(FATAL_ERROR "the package copied the platform's libtessik into ${prefix}")
endif()

set(BUILD_TYPE "")
consumer(${prefix} ${WORK}/consumer)
