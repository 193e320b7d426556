# glimmerQ: the two commands a person needs, and the package.
#   make run    install what building and playing need, build, and play the demo in a window
#   make test   install that and what the tests need, and run the whole test suite (plain,
#               then sanitized + fuzzing)
#   make deb    build the Debian package glimmerq_VERSION_ARCH.deb in the build folder
# Everything else is plain CMake (see README.md).

BUILD        ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS         ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 30

.PHONY: run test deb deps test-deps build test-build sanitize fuzz clean

# Playing builds without the tests, so it needs none of the test packages (GoogleTest among
# them); the test build is the same folder with the tests switched on.
deps:
	scripts/install-deps

test-deps:
	scripts/install-deps --test

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLIMMERQ_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS)

test-build: test-deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLIMMERQ_TESTS=ON
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/glimmerq

deb: build
	cd $(BUILD) && cpack -G DEB

test: test-build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) sanitize fuzz

# The suite once more under AddressSanitizer and UndefinedBehaviorSanitizer (clang), which
# also builds the libFuzzer targets. The leak checker does not follow __tls_get_addr: with it,
# clang 14's LeakSanitizer can read a stale dynamic-TLS range of Mesa's driver and crash while
# stopping the threads at exit (seen in the blur capture tests under ctest).
sanitize: test-deps
	CC=clang CXX=clang++ cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug \
		-DGLIMMERQ_SANITIZE=ON -DGLIMMERQ_FUZZ=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan-suppressions.txt \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# Every fuzz target for a bounded time, seeded from the data the build generates.
fuzz: sanitize
	scripts/run-fuzzers $(SANITIZE_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
