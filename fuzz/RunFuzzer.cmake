# Runs one fuzz target on its committed corpus and past findings.
#   cmake -DFUZZER=<executable> -DWORK=<scratch folder> -DSECONDS=<n> [-DARTIFACTS=<folder>]
#         -P RunFuzzer.cmake
# SECONDS 0 replays the corpus and past findings once; otherwise the target explores
# from the corpus for that long.
# New inputs go to WORK/corpus, so the committed corpus stays as it is; a crash input
# is written to ARTIFACTS (default WORK/artifacts) and fails the run.

foreach(var FUZZER WORK SECONDS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "RunFuzzer.cmake needs -D${var}=...")
  endif()
endforeach()
get_filename_component(target "${FUZZER}" NAME)
set(source "${CMAKE_CURRENT_LIST_DIR}")
if(NOT DEFINED ARTIFACTS)
  set(ARTIFACTS "${WORK}/artifacts")
endif()

file(MAKE_DIRECTORY "${WORK}/corpus" "${ARTIFACTS}")
set(inputs "${source}/corpus/${target}")

# Readable stack traces in reports, when the LLVM tools are there.
if(NOT DEFINED ENV{ASAN_SYMBOLIZER_PATH} AND EXISTS /usr/lib/llvm-14/bin/llvm-symbolizer)
  set(ENV{ASAN_SYMBOLIZER_PATH} /usr/lib/llvm-14/bin/llvm-symbolizer)
endif()

# No single allocation may come near the memory limit: 64 KiB of input backs at most
# a few MiB of elements, so a larger block can only be sized by an unbacked count.
set(limits -timeout=2 -rss_limit_mb=512 -malloc_limit_mb=16 -max_len=65536)
if(SECONDS EQUAL 0)
  set(mode -runs=0)
  # Past findings are replayed, not explored from: some are slow by design (a chain
  # of thousands of keys) and would drag every mutation down to their pace.
  if(IS_DIRECTORY "${source}/regressions/${target}")
    list(APPEND inputs "${source}/regressions/${target}")
  endif()
else()
  set(mode -max_total_time=${SECONDS} -print_final_stats=1)
endif()

execute_process(
  COMMAND "${FUZZER}" ${limits} ${mode} -dict=${source}/${target}.dict
          -artifact_prefix=${ARTIFACTS}/ "${WORK}/corpus" ${inputs}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${target} failed (${rc}); its input is in ${ARTIFACTS}/. "
                      "Keep it under fuzz/regressions/${target}/ once the cause is fixed.")
endif()
