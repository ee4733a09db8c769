# The README's two commands, plus the build and benchmark steps they stand on.
PRESET ?= debug
PORT ?= 8180
FRESH ?=
BUILD_DIR := build/$(PRESET)
PROJECT ?= $(BUILD_DIR)/samples/sample-small.json

.PHONY: deps build test run bench fuzz format clean

deps:
	scripts/install-deps

build: deps
	cmake --preset $(PRESET) >/dev/null
	cmake --build --preset $(PRESET)

# The sources are checked against .clang-format first. The suite runs twice: as built for debugging, and under
# AddressSanitizer and UndefinedBehaviorSanitizer; the tests of the one background thread run once more under
# ThreadSanitizer.
test: build
	scripts/format-check
	ctest --preset $(PRESET) -j2
	cmake --preset asan >/dev/null
	cmake --build --preset asan
	ctest --preset asan -j2
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan --target download_tests
	build/tsan/bin/download_tests
	scripts/fuzz 20

# The data folder run/data is kept from one run to the next; FRESH=1 starts it afresh.
run: build
	FRESH=$(FRESH) scripts/run $(BUILD_DIR) $(PORT) $(PROJECT)

bench: deps
	cmake --preset release >/dev/null
	cmake --build --preset release
	scripts/bench build/release

# The fuzzers for ten minutes each; new findings land in build/fuzz/artifacts.
fuzz: deps
	scripts/fuzz 600

# Formats the C++ sources as the check in `make test` expects them.
format: deps
	scripts/format-check --fix

clean:
	rm -rf build
