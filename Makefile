# The two commands: `make run` and `make test`. Both install what is missing
# from Debian first (scripts/install-deps is quick when all is present).

BUILD ?= build
CMAKE_ARGS ?=
JOBS ?= $(shell nproc)
CTEST_ARGS ?=

.PHONY: run test deps test-deps configure build asan bench fuzz package install clean

run: deps build
	./$(BUILD)/bin/duobrik

test: test-deps build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) $(CTEST_ARGS)

deps:
	@scripts/install-deps

test-deps:
	@scripts/install-deps --test

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(CMAKE_ARGS)

configure: $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The unit tests once more under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: test-deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DDUOBRIK_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	ctest --test-dir build-asan --output-on-failure -j $(JOBS) -L unit

clean:
	rm -rf $(BUILD) build-asan
