# STATUSITEM_JAVA: the command that starts a JVM of the target, empty when none runs.
# A cross build starts the target's own JVM (STATUSITEM_TARGET_JAVA) through the
# build's emulator; its class files come from the host's javac all the same.

set(STATUSITEM_TARGET_JAVA "" CACHE FILEPATH "The target's java launcher, for cross builds")
# Under qemu the ARM VM runs only its slow-to-warm C2 compiler by default; C1 alone
# halves a test class's run. A smaller heap and one compiler thread leave the 32-bit
# VM room in its address space: with the defaults (908 MiB of heap, three C2
# threads) a compiler thread's arena allocation now and then failed under load.
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
