# 32-bit ARM (hard float) with Debian's cross compiler. Target libraries come from
# Debian multiarch (/usr/lib/arm-linux-gnueabihf); tests run under qemu-user.

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)

set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)

# No find root: the target's libraries and package configs (GTest) are the multiarch
# ones under /usr/lib/arm-linux-gnueabihf, which CMAKE_LIBRARY_ARCHITECTURE selects.

# The loader comes from the cross toolchain's root (-L), so its libc must come from
# there too: the host's loader cache points at the multiarch libc6:armhf, a different
# glibc build, and mixing the two crashes on the first new thread.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-arm;-L;/usr/arm-linux-gnueabihf;-E;LD_LIBRARY_PATH=/lib)
