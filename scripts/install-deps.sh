#!/usr/bin/env bash
# Installs the Debian packages a group of make targets needs, only those missing.
# Usage: scripts/install-deps.sh GROUP...   (groups: base jvm armhf armv7-clang fuzz coverage bench)
set -euo pipefail

packages_for() {
  case "$1" in
    # The platform's own String16 and headers, to hold the host stand-in against;
    # abigail-tools and pkgconf for the checks of the installed package and its ABI.
    base)  echo "cmake make g++ libgtest-dev android-liblog-dev openjdk-17-jdk-headless
                 nlohmann-json3-dev android-libutils-dev
                 android-platform-frameworks-native-headers
                 android-platform-system-core-headers abigail-tools pkgconf" ;;
    jvm)   echo "openjdk-17-jdk-headless junit5" ;;
    # The ARM JRE brings the host JDK up to its own version; nothing is removed.
    armhf) echo "g++-arm-linux-gnueabihf qemu-user android-liblog-dev:armhf libgtest-dev:armhf
                 openjdk-17-jre-headless:armhf" ;;
    # GoogleTest is built from the sources Debian ships: its armhf build is for
    # libstdc++. libc++ itself: see libcxx-armhf.sh.
    # llvm-nm reads the ARM library's exported names.
    armv7-clang) echo "clang-14 lld-14 llvm-14 libc6-dev-armhf-cross libgcc-12-dev-armhf-cross
                       qemu-user android-liblog-dev:armhf googletest" ;;
    fuzz)  echo "clang-14 libclang-rt-14-dev llvm-14" ;;
    coverage) echo "gcovr" ;;
    bench) echo "libbenchmark-dev libmsgpack-cxx-dev libflatbuffers-dev python3-matplotlib" ;;
    *) echo "unknown group: $1" >&2; exit 2 ;;
  esac
}

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

install_packages() {
  if printf '%s\n' "$@" | grep -q ':armhf$'; then
    if ! dpkg --print-foreign-architectures | grep -qx armhf; then
      $SUDO dpkg --add-architecture armhf
    fi
  fi

  echo "Installing: $*"
  export DEBIAN_FRONTEND=noninteractive
  # Another install may hold the package lock; wait for it rather than fail.
  local apt=(apt-get -o DPkg::Lock::Timeout=600)
  if [ -n "$SUDO" ]; then apt=("$SUDO" "${apt[@]}"); fi
  # A mirror caught mid-sync fails some index files; the install below still decides.
  "${apt[@]}" update -qq || true
  if ! "${apt[@]}" install -y -qq --no-install-recommends "$@"; then
    sleep 10
    "${apt[@]}" update -qq || true
    "${apt[@]}" install -y -qq --no-install-recommends "$@"
  fi
}

wanted=()
for group in "$@"; do
  for pkg in $(packages_for "$group"); do wanted+=("$pkg"); done
done

native=$(dpkg --print-architecture)
missing=()
for pkg in "${wanted[@]}"; do
  # A bare name matches the armhf twin too: the host's is the one asked for.
  status=$(dpkg-query -W -f='${Status}' "$pkg:$native" 2>/dev/null ||
           dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$pkg")
done
if [ ${#missing[@]} -ne 0 ]; then install_packages "${missing[@]}"; fi

# The ARM libc++ is unpacked beside the builds rather than installed (see the script).
for group in "$@"; do
  if [ "$group" = armv7-clang ]; then "$(dirname "$0")/libcxx-armhf.sh"; fi
done
