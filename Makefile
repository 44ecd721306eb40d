# The two commands of the README, and a few helpers. Each installs what is
# missing (scripts/install-deps) before it builds. A build folder is
# configured once, when it has no CMake cache yet (or when CMAKE_FLAGS asks
# for settings); after that `cmake --build` runs CMake again by itself when
# a CMakeLists.txt changes.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 60

# No "Entering directory" lines from make, here or in the build's own makes.
MAKEFLAGS += --no-print-directory
SHELL := /bin/bash
.SHELLFLAGS := -o pipefail -c

# configure DIR [SETTINGS...]: runs CMake on DIR if it has no cache yet,
# saying only what needs saying (warnings, errors).
configure = if [ ! -f $(1)/CMakeCache.txt ] || [ -n "$(CMAKE_FLAGS)" ]; then \
	cmake -S . -B $(1) --log-level=NOTICE $(2) $(CMAKE_FLAGS) \
	| sed -u -E '/^-- (Configuring|Generating) done|^-- Build files have been written/d'; fi
# build DIR: builds DIR, leaving out the lines for targets that had nothing to do.
build_in = cmake --build $(1) -j $(JOBS) | sed -u -E '/^\[ *[0-9]+%\] (Built target|Automatic [A-Za-z ]+ for target) /d'
# test_in DIR [CTEST-ARGUMENTS...]: CTest's summary and the output of what
# failed; on a terminal one line shows the progress. Tests run JOBS at a
# time: each end-to-end test has its own X server and session bus.
test_in = cd $(1) && if [ -t 1 ]; then ctest --output-on-failure --progress -j $(JOBS) $(2); \
	else ctest --output-on-failure -j $(JOBS) $(2) | sed -u -E '/^ +Start +[0-9]+: /d; /^ *[0-9]+\/[0-9]+ Test +\#[0-9]+: .* Passed +[0-9.]+ sec$$/d'; fi

.PHONY: run gallery test test-sanitize bench package fuzz deps build clean

run: build
	@./$(BUILD)/app/huvolo

# The two controls, xpcmdbutton and xpgroupbox, in a small window of their own.
gallery: build
	@./$(BUILD)/examples/gallery/huvolo-gallery

test: build
	@$(call test_in,$(BUILD))

# The unit tests, the clipboard keeper's end-to-end tests and every
# committed fuzz input again, built with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-sanitize/. The same build holds the
# fuzz targets, so `make fuzz` compiles nothing more. A build-sanitize/
# configured with another compiler is configured again.
SANITIZE_SETTINGS = -DHUVOLO_SANITIZE=ON -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=Debug
test-sanitize:
	@./scripts/install-deps --fuzz
	@grep -qs '^CMAKE_CXX_COMPILER:.*clang' build-sanitize/CMakeCache.txt \
		|| rm -rf build-sanitize/CMakeCache.txt build-sanitize/CMakeFiles
	@$(call configure,build-sanitize,$(SANITIZE_SETTINGS))
	@$(call build_in,build-sanitize)
	@$(call test_in,build-sanitize,-L 'unit|keeper|fuzz')

# RUNS=N sets how many times each program starts (default 11).
bench: build
	@./scripts/bench $(BUILD)

# The Debian packages, from a Release build in build-release/, checked by lintian.
package:
	@./scripts/package

# The libFuzzer targets: built in build-sanitize/ (as make test-sanitize
# builds it), every committed input replayed, then each target fuzzed for
# FUZZ_SECONDS.
fuzz:
	@./scripts/fuzz build
	@./scripts/fuzz replay
	@./scripts/fuzz run $(FUZZ_SECONDS)

deps:
	@./scripts/install-deps

build: deps
	@$(call configure,$(BUILD))
	@$(call build_in,$(BUILD))

clean:
	rm -rf $(BUILD) build-sanitize build-release build-fuzz build-fuzz-coverage
