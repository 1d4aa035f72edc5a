# Warnings are errors on every build, for both compilers. Included before any target,
# so that code added later gets them too; code from elsewhere (GoogleTest built from
# source) takes them off again on its own targets.

set(STATUSITEM_WARNINGS -Wall -Wextra -Wno-unused-parameter -Werror)
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  # -Wshorten-64-to-32: a jlong or uint64_t stored into a 32-bit value loses its high
  # word on ARM, silently otherwise. Clang's -Wconversion, unlike GCC's in C++, also
  # reports changes of signedness: here those are lengths checked beforehand.
  list(APPEND STATUSITEM_WARNINGS -Wshorten-64-to-32 -Wconversion -Wno-sign-conversion)
else()
  list(APPEND STATUSITEM_WARNINGS -Wconversion)
endif()
add_compile_options(${STATUSITEM_WARNINGS})
