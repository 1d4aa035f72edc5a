# Warnings are errors on every build, for both compilers. Included before any target,
# so that code added later gets them too; code from elsewhere (GoogleTest built from
# source) takes them off again on its own targets.

set(STATUSITEM_WARNINGS -Wall -Wextra -Wno-unused-parameter -Werror)
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  # A 64-bit value (jlong, uint64_t) stored into a 32-bit one loses its high word on
  # ARM without a word from the compiler otherwise.
  # Its -Wconversion also takes in changes of signedness, which GCC's leaves out in
  # C++: here they are lengths checked before, never a lost high word.
  list(APPEND STATUSITEM_WARNINGS -Wshorten-64-to-32 -Wconversion -Wno-sign-conversion)
else()
  list(APPEND STATUSITEM_WARNINGS -Wconversion)
endif()
add_compile_options(${STATUSITEM_WARNINGS})
