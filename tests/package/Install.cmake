# Installs the package of the build in BUILD into PREFIX, afresh.
include(${CMAKE_CURRENT_LIST_DIR}/Steps.cmake)
file(REMOVE_RECURSE ${PREFIX})
run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX} --component library)
