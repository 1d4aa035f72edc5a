# GoogleTest as GTest::gtest and GTest::gtest_main: Debian's build, or one made here
# from the sources in STATUSITEM_GTEST_SOURCE when the build's C++ library is not the
# one Debian's was built against (libc++).

set(STATUSITEM_GTEST_SOURCE "" CACHE PATH "GoogleTest sources to build instead of the installed one")
if(NOT STATUSITEM_GTEST_SOURCE)
  find_package(GTest REQUIRED)
  return()
endif()

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${STATUSITEM_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(_target gtest gtest_main)
  # Not our code: our warnings, let alone as errors, are not for it.
  target_compile_options(${_target} PRIVATE -w)
endforeach()
