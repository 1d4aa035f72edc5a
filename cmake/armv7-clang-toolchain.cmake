# 32-bit ARM the way the NDK builds armeabi-v7a: clang, Thumb-2, VFPv3-D16, lld and
# libc++. Debian's armhf libraries are hard-float, so the float ABI follows them.
# libc++ comes unpacked in build/libcxx-armhf (scripts/libcxx-armhf.sh); C runtime
# and glibc come from Debian's cross toolchain, as for the armhf preset.

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)

set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET armv7a-linux-gnueabihf)
set(CMAKE_CXX_COMPILER_TARGET armv7a-linux-gnueabihf)

get_filename_component(_libcxx "${CMAKE_CURRENT_LIST_DIR}/../build/libcxx-armhf" ABSOLUTE)
set(_libcxx_lib "${_libcxx}/usr/lib/arm-linux-gnueabihf")
set(_arch "-march=armv7-a -mthumb -mfpu=vfpv3-d16 -mfloat-abi=hard")
set(CMAKE_C_FLAGS_INIT "${_arch}")
# Its headers are searched before any host libc++ headers that -stdlib would add.
set(CMAKE_CXX_FLAGS_INIT "${_arch} -stdlib=libc++ -isystem ${_libcxx}/usr/lib/llvm-14/include/c++/v1 -isystem ${_libcxx}/usr/lib/llvm-14/include")
foreach(_kind EXE SHARED MODULE)
  set(CMAKE_${_kind}_LINKER_FLAGS_INIT "-fuse-ld=lld -L${_libcxx_lib}")
endforeach()

set(CMAKE_CROSSCOMPILING_EMULATOR
    qemu-arm;-L;/usr/arm-linux-gnueabihf;-E;LD_LIBRARY_PATH=/lib:${_libcxx_lib})
