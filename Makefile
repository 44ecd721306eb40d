# The two commands of the README, and a few helpers. Each installs what is
# missing (scripts/install-deps) before it builds.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 60

.PHONY: run gallery test test-sanitize bench package fuzz deps build clean

run: build
	./$(BUILD)/app/huvolo

# The two controls, xpcmdbutton and xpgroupbox, in a small window of their own.
gallery: build
	./$(BUILD)/examples/gallery/huvolo-gallery

test: build
	cd $(BUILD) && ctest --output-on-failure

# The unit tests again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B build-sanitize -DHUVOLO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug $(CMAKE_FLAGS)
	cmake --build build-sanitize -j $(JOBS)
	cd build-sanitize && ctest --output-on-failure -L unit

# RUNS=N sets how many times each program starts (default 11).
bench: build
	./scripts/bench $(BUILD)

# The Debian package, from a Release build in build-release/, checked by lintian.
package:
	./scripts/package

# The libFuzzer targets: built with clang into build-fuzz/, every committed
# input replayed, then each target fuzzed for FUZZ_SECONDS.
fuzz:
	./scripts/fuzz build
	./scripts/fuzz replay
	./scripts/fuzz run $(FUZZ_SECONDS)

deps:
	./scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

clean:
	rm -rf $(BUILD) build-sanitize build-release build-fuzz build-fuzz-coverage
