#!/usr/bin/env bash
# Installs the Debian packages a group of make targets needs, only those missing.
# Usage: scripts/install-deps.sh GROUP...   (groups: base jvm armhf fuzz bench)
set -euo pipefail

packages_for() {
  case "$1" in
    # The platform's own String16 and headers, to hold the host stand-in against.
    base)  echo "cmake make g++ libgtest-dev android-liblog-dev openjdk-17-jdk-headless
                 nlohmann-json3-dev android-libutils-dev
                 android-platform-frameworks-native-headers
                 android-platform-system-core-headers" ;;
    jvm)   echo "openjdk-17-jdk-headless junit5" ;;
    armhf) echo "g++-arm-linux-gnueabihf qemu-user android-liblog-dev:armhf libgtest-dev:armhf" ;;
    fuzz)  echo "clang-14 libclang-rt-14-dev llvm-14" ;;
    bench) echo "libbenchmark-dev libmsgpack-cxx-dev libflatbuffers-dev python3-matplotlib" ;;
    *) echo "unknown group: $1" >&2; exit 2 ;;
  esac
}

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

wanted=()
for group in "$@"; do
  for pkg in $(packages_for "$group"); do wanted+=("$pkg"); done
done

missing=()
for pkg in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if printf '%s\n' "${missing[@]}" | grep -q ':armhf$'; then
  if ! dpkg --print-foreign-architectures | grep -qx armhf; then
    $SUDO dpkg --add-architecture armhf
  fi
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# Another install may hold the package lock; wait for it rather than fail.
APT=($SUDO apt-get -o DPkg::Lock::Timeout=600)
# A mirror caught mid-sync fails some index files; the install below still decides.
"${APT[@]}" update -qq || true
if ! "${APT[@]}" install -y -qq --no-install-recommends "${missing[@]}"; then
  sleep 10
  "${APT[@]}" update -qq || true
  "${APT[@]}" install -y -qq --no-install-recommends "${missing[@]}"
fi
