# Builds and runs examples/consumer against the package installed in PREFIX, through
# CMake and through pkg-config.
include(${CMAKE_CURRENT_LIST_DIR}/Steps.cmake)
consumer(${PREFIX} ${WORK})
