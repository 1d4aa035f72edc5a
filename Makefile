# Entry points for newcomers and CI. Each target installs the Debian packages it
# needs, then configures, builds and runs through CMake presets.

TEST_PRESETS ?= host asan tsan armhf armv7-clang fuzz
# Built by test but not run, so that a change of the library cannot break them unseen.
BUILD_PRESETS ?= bench
FUZZ_SECONDS ?= 600
FUZZ_TARGETS := bundle_fuzzer bundle_array_fuzzer item_fuzzer json_reader_fuzzer \
                decoder_diff_fuzzer encoder_diff_fuzzer inspect_json_fuzzer
DEPS := scripts/install-deps.sh

.PHONY: all demo demo-arm test deps clean fuzz bench bench-check bench-baseline coverage abi-baseline

all: test

deps:
	@$(DEPS) base jvm

demo: deps
	cmake --preset host
	cmake --build --preset host --target bundle-inspect -- -s --no-print-directory >/dev/null
	cmake --build --preset host --target jvm_demo -- -s --no-print-directory
	@echo "== 5. The parcel of step 2, seen by bundle-inspect (first lines)"
	@build/host/inspect/bundle-inspect build/host/demo.parcel | sed -n '1,8p'

# The same demo in Debian's 32-bit ARM VM under qemu-arm.
demo-arm: deps
	@$(DEPS) armhf
	cmake --preset armhf
	cmake --build --preset armhf --target jvm_demo -- -s --no-print-directory

test: deps
	@$(DEPS) fuzz armhf armv7-clang bench
	@set -e; for preset in $(BUILD_PRESETS) $(TEST_PRESETS); do \
	  echo "=== $$preset"; \
	  cmake --preset $$preset; \
	  cmake --build --preset $$preset; \
	  case " $(BUILD_PRESETS) " in *" $$preset "*) ;; *) ctest --preset $$preset ;; esac; \
	done

# Runs each fuzz target for FUZZ_SECONDS; a crash input lands in fuzz/regressions/.
fuzz: deps
	@$(DEPS) fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz
	@status=0; for target in $(FUZZ_TARGETS); do \
	  echo "=== $$target for $(FUZZ_SECONDS) s"; \
	  cmake -DFUZZER=build/fuzz/fuzz/$$target -DWORK=build/fuzz/fuzz/work/$$target/long \
	        -DSECONDS=$(FUZZ_SECONDS) -DARTIFACTS=$(CURDIR)/fuzz/regressions/$$target \
	        -P fuzz/RunFuzzer.cmake || status=1; \
	done; exit $$status

# The host suites (the JVM suite included) with gcov; an HTML report and per-folder
# figures in build/coverage/report/.
coverage: deps
	@$(DEPS) coverage
	cmake --preset coverage
	cmake --build --preset coverage
	find build/coverage -name '*.gcda' -delete
	ctest --preset coverage
	scripts/coverage.sh build/coverage

bench: deps
	@$(DEPS) bench armhf armv7-clang
	bench/counts.sh measure
	cmake --preset bench
	cmake --build --preset bench
	bench/run.sh build/bench

# Rewrites the lists of exported names and the ABI baselines in tests/abi/ from the
# host and 32-bit ARM builds, for a change of the API that is meant.
abi-baseline: deps
	@$(DEPS) armhf armv7-clang
	@set -e; for preset in host armhf armv7-clang; do \
	  echo "=== $$preset"; \
	  cmake --preset $$preset; \
	  cmake --build --preset $$preset --target abi-baseline; \
	done

# Instruction counts per operation against the baseline in the repository: fails when
# a row rose by more than 2 %. Not part of test: another compiler counts differently.
bench-check: deps
	@$(DEPS) bench armhf armv7-clang
	bench/counts.sh check

# Refreshes that baseline, for a change whose cost is meant.
bench-baseline: deps
	@$(DEPS) bench armhf armv7-clang
	bench/counts.sh baseline

clean:
	rm -rf build
