# The two commands: `make run` and `make test`. Both install what is missing
# from Debian first (scripts/install-deps is quick when all is present).

BUILD ?= build
CMAKE_ARGS ?=
JOBS ?= $(shell nproc)
CTEST_ARGS ?=

.PHONY: run test deps test-deps configure build asan bench fuzz package install clean \
	music-preview mix-report
.PHONY: windows test-windows web test-web serve-web format-check tidy

# A player needs only the game and its data, not the tests.
run: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target duobrik
	./$(BUILD)/bin/duobrik

test: test-deps build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) $(CTEST_ARGS)

deps:
	@scripts/install-deps

test-deps:
	@scripts/install-deps --test

# Always re-run: quick when nothing changed, and it finds GoogleTest once
# `make test` has installed it into a folder first built by `make run`.
configure:
	cmake -S . -B $(BUILD) $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The unit tests once more under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: test-deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DDUOBRIK_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	ctest --test-dir build-asan --output-on-failure -j $(JOBS) -L unit

# The Debian package through CPack: $(BUILD)/duobrik_*.deb.
package: build
	cmake --build $(BUILD) --target package

# Installs into a temporary prefix, validates the desktop files and starts
# the installed game under Xvfb.
.PHONY: install-check
install-check: test-deps build
	scripts/check-install $(BUILD)

clean:
	rm -rf $(BUILD) build-asan

# The Windows game, cross-built with MinGW-w64: $(WINDOWS_BUILD)/duobrik-*-win64.zip
# and duobrik-*-win64-setup.exe. SDL2 and libmikmod are built from Debian's
# sources once, into a cache outside the clone (scripts/build-deps).
WINDOWS_BUILD ?= build-windows
windows:
	@scripts/install-deps --windows
	JOBS=$(JOBS) WINDOWS_CMAKE_ARGS="$(WINDOWS_CMAKE_ARGS)" scripts/build-windows $(WINDOWS_BUILD)

# The Windows game under Wine and Xvfb: the end-to-end tests, the sound and
# the installer (scripts/test-windows).
test-windows: windows
	@scripts/install-deps --windows --wine --test
	JOBS=$(JOBS) CTEST_ARGS="$(CTEST_ARGS)" scripts/test-windows $(WINDOWS_BUILD)

# The game as a web page, built with Emscripten: $(WEB_BUILD)/site/ (copy it
# to any static web host) and $(WEB_BUILD)/duobrik-*-web.zip. SDL2 and
# libmikmod are built from Debian's sources once, into the cache.
WEB_BUILD ?= build-web
web:
	@scripts/install-deps --web
	JOBS=$(JOBS) WEB_CMAKE_ARGS="$(WEB_CMAKE_ARGS)" scripts/build-web $(WEB_BUILD)

# The page played in headless Chromium: on a desktop, on a phone by touch,
# with a game pad and offline (scripts/test-web).
test-web: web
	@scripts/install-deps --web --test
	JOBS=$(JOBS) scripts/test-web $(WEB_BUILD)

# Serves the page on http://127.0.0.1:8080/ to play it here (localhost lets
# its service worker keep it for playing offline).
serve-web: web
	scripts/serve-web $(WEB_BUILD)/site

# One table of the whole game against a bare GL window under Xvfb (CPU on the
# title and in play, key-to-screen latency, first frame, peak memory), and the
# frame benchmark's figures in a file (scripts/bench; results in build-bench/).
bench: test-deps
	JOBS=$(JOBS) scripts/bench

# The libFuzzer targets for FUZZ_SECONDS each (default 60), clang 14.
fuzz:
	@scripts/install-deps --test --fuzz
	JOBS=$(JOBS) scripts/fuzz

# The music and effects rendered through libmikmod with the game's settings:
# WAV files and spectrograms in $(BUILD)/music-preview/ (sox draws them).
music-preview: test-deps configure
	cmake --build $(BUILD) -j $(JOBS) --target duobrik-data duobrik-mixrender
	scripts/music-preview $(BUILD)

# The mix figures: levels, peaks, balance, channels, effects against the music.
mix-report: test-deps configure
	cmake --build $(BUILD) -j $(JOBS) --target duobrik-data duobrik-mixrender
	scripts/mix-report $(BUILD)

# The sources as the repository's .clang-format (clang-format 14) has them.
format-check: test-deps
	find app audio render pieces levels game catalogue tools bench offscreen tests \( -name '*.cpp' -o -name '*.h' \) -print0 \
		| xargs -0 clang-format --dry-run -Werror

# clang-tidy's checks (.clang-tidy) over the game and the generators, from the
# build's compile commands. The tests are left out: parsing GoogleTest in every
# file would triple the time for little.
tidy: test-deps configure
	run-clang-tidy -p $(BUILD) -j $(JOBS) -quiet '$(CURDIR)/(app|audio|render|pieces|levels|game|tools)/'
