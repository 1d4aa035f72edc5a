# Entry points for newcomers and CI. Each target installs the Debian packages it
# needs, then configures, builds and runs through CMake presets.

TEST_PRESETS ?= host asan
DEPS := scripts/install-deps.sh

.PHONY: all demo test deps clean

all: test

deps:
	@$(DEPS) base

demo: deps
	cmake --preset host
	cmake --build --preset host --target bundle_demo
	./build/host/examples/bundle_demo

test: deps
	@set -e; for preset in $(TEST_PRESETS); do \
	  echo "=== $$preset"; \
	  cmake --preset $$preset; \
	  cmake --build --preset $$preset; \
	  ctest --preset $$preset; \
	done

clean:
	rm -rf build
