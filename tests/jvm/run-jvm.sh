#!/bin/sh
# Usage: run-jvm.sh CHECKED|ALLOWED COMMAND...
# Runs a JVM command line and fails when it fails. With CHECKED it also fails when the
# JNI checker (-Xcheck:jni) complained: HotSpot only warns, on stdout or stderr, and
# exits 0 all the same. ALLOWED is for the scenarios that call into Java with an
# exception pending by design.
mode=$1
shift
out=$(mktemp) || exit 2
trap 'rm -f "$out"' EXIT
"$@" >"$out" 2>&1
rc=$?
cat "$out"
if [ "$mode" = CHECKED ] && grep -E -q 'WARNING in native method|WARNING: JNI local refs|FATAL ERROR in native method|JNI call made without checking exceptions|JNI call made with exception pending' "$out"; then
  echo "run-jvm.sh: the JNI checker reported a problem" >&2
  exit 1
fi
exit $rc
