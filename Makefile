# glimmerQ: the two commands a person needs.
#   make run    set everything up and play the demo in a window
#   make test   set everything up and run the whole test suite (plain, then sanitized + fuzzing)
# Everything else is plain CMake (see README.md).

BUILD        ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS         ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 30

.PHONY: run test deps build sanitize fuzz clean

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/glimmerq

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) sanitize fuzz

# The suite once more under AddressSanitizer and UndefinedBehaviorSanitizer (clang), which
# also builds the libFuzzer targets.
sanitize: deps
	CC=clang CXX=clang++ cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug \
		-DGLIMMERQ_SANITIZE=ON -DGLIMMERQ_FUZZ=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan-suppressions.txt \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# Every fuzz target for a bounded time, seeded from the data the build generates.
fuzz: sanitize
	scripts/run-fuzzers $(SANITIZE_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
