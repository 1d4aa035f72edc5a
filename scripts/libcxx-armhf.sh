#!/usr/bin/env bash
# Unpacks Debian's 32-bit ARM libc++ into DIR (default build/libcxx-armhf) for the
# armv7-clang preset. Its runtime packages cannot be installed beside the host's own
# libc++ (both own /usr/lib/llvm-14/lib/libc++.so.1.0), so they are fetched with apt
# and unpacked here instead.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$root/build/libcxx-armhf}"
packages=(libc++-14-dev libc++1-14 libc++abi-14-dev libc++abi1-14 libunwind-14-dev
          libunwind-14)

candidates() {
  apt-cache policy "${packages[@]/%/:armhf}" | awk '/^[^ ]/ {p = $1} /Candidate:/ {print p, $2}'
}
stamp="$dir/.packages"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$(candidates)" ]; then exit 0; fi

debs="$(mktemp -d)"
trap 'rm -rf "$debs"' EXIT
download() { (cd "$debs" && apt-get download -qq "${packages[@]/%/:armhf}"); }
# Package lists that are missing or behind the mirror fail the download: refresh once.
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
download || { $SUDO apt-get -o DPkg::Lock::Timeout=600 update -qq || true; download; }
rm -rf "$dir"
mkdir -p "$dir"
for deb in "$debs"/*.deb; do dpkg-deb -x "$deb" "$dir"; done
candidates >"$stamp"
