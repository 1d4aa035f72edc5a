# STATUSITEM_JAVA: the command that starts a JVM of the target, empty when none runs.
# A cross build starts the target's own JVM (STATUSITEM_TARGET_JAVA) through the
# build's emulator; its class files come from the host's javac all the same.

set(STATUSITEM_TARGET_JAVA "" CACHE FILEPATH "The target's java launcher, for cross builds")
# Under qemu the ARM VM runs only C2 by default; C1 alone takes a third less CPU per
# test class. The VM is a 32-bit process: with one compiler thread and a 256 MiB heap
# it reserves a third of the address space the defaults do (908 MiB of heap), and its
# compiler arenas peak at a quarter, which leaves room to the mallocs of the compiler
# thread that, with the defaults, now and then failed under load.
set(STATUSITEM_EMULATED_JVM_OPTIONS
    -XX:+TieredCompilation -XX:TieredStopAtLevel=1 -XX:CICompilerCount=1 -Xmx256m
    CACHE STRING "Options of a JVM started through the emulator")

set(STATUSITEM_JAVA "")
if(NOT CMAKE_CROSSCOMPILING)
  find_package(Java 17 REQUIRED COMPONENTS Runtime)
  set(STATUSITEM_JAVA ${Java_JAVA_EXECUTABLE})
elseif(STATUSITEM_TARGET_JAVA)
  set(STATUSITEM_JAVA ${CMAKE_CROSSCOMPILING_EMULATOR} ${STATUSITEM_TARGET_JAVA}
      ${STATUSITEM_EMULATED_JVM_OPTIONS})
endif()
