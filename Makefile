# Chalkmere: the two commands people use are `make run` and `make test`.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
WINDOWS_DIR ?= build-windows
WEB_DIR ?= build-web
EMSCRIPTEN_DIR ?= build-emscripten
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)

CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCHALKMERE_SANITIZE=ON -DCHALKMERE_BENCHMARKS=OFF
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
                UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

WINDOWS_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake

# Debian's emscripten runs its tools on the system's node, which looks for Debian's node
# modules (acorn) only where NODE_PATH says.
WEB_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=Release -DCHALKMERE_HOST_TOOLS=$(CURDIR)/$(BUILD_DIR) \
            -DCHALKMERE_WEB_OUTPUT=$(CURDIR)/$(WEB_DIR)
EMSCRIPTEN_ENV = NODE_PATH=/usr/share/nodejs

PREFIX ?= /usr/local
DEB_DIR ?= build-deb

.PHONY: all deps test-deps game build run install deb test test-asan test-windows windows \
        web test-web bench-web bench-windows \
        bench soak mutants test-ratio fuzz art clean

all: build

deps:
	@scripts/install-deps game

test-deps:
	@scripts/install-deps test

# Only the game and what it is built from: no test tools are needed or built.
game: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target chalkmere

run: game
	$(BUILD_DIR)/app/chalkmere

# The game, its menu entry, icons, software-centre listing and man page under PREFIX
# (DESTDIR is honoured, for staging).
install: game
	cmake -S . -B $(BUILD_DIR) -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --install $(BUILD_DIR)

# The Debian package, built the Debian way from a copy of the tracked files:
# $(DEB_DIR)/chalkmere_<version>_amd64.deb, then checked with lintian.
deb:
	@scripts/install-deps deb
	rm -rf $(DEB_DIR) && mkdir -p $(DEB_DIR)/chalkmere
	git ls-files -z | xargs -0 cp --parents -t $(DEB_DIR)/chalkmere
	cd $(DEB_DIR)/chalkmere && dpkg-buildpackage -b -us -uc
	lintian --fail-on error $(DEB_DIR)/chalkmere_*.deb

# Everything, tests and benchmarks included.
build: test-deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) -DCHALKMERE_TESTS=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Every test, then the same unit tests again under AddressSanitizer and UBSan, then the
# Windows build's tests under Wine, then the web page's story in a browser.
test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory test-asan
	$(MAKE) --no-print-directory test-windows
	$(MAKE) --no-print-directory test-web

test-asan: test-deps
	cmake -S . -B $(ASAN_DIR) $(ASAN_FLAGS) -DCHALKMERE_TESTS=ON
	cmake --build $(ASAN_DIR) -j $(JOBS)
	$(SANITIZER_ENV) ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)

# chalkmere.exe for Windows: one file, cross-built with mingw-w64.
windows:
	@scripts/install-deps windows
	cmake -S . -B $(WINDOWS_DIR) $(WINDOWS_FLAGS) -DCHALKMERE_TESTS=OFF
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target chalkmere

# The Windows build's unit tests and its end-to-end story, under Wine.
test-windows: test-deps
	cmake -S . -B $(WINDOWS_DIR) $(WINDOWS_FLAGS) -DCHALKMERE_TESTS=ON
	cmake --build $(WINDOWS_DIR) -j $(JOBS)
	ctest --test-dir $(WINDOWS_DIR) --output-on-failure -j $(JOBS)

# The web page in $(WEB_DIR)/, for any static file server, and beside it, in $(WEB_DIR)-tests/,
# the browser's test program, which the web story runs. The build tools (the resource
# compiler, the glyph baker and the page's words) come from the desktop build.
web: game
	@scripts/install-deps web
	cmake --build $(BUILD_DIR) -j $(JOBS) --target rescomp glyph_baker page_words language_packs
	$(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(EMSCRIPTEN_DIR) $(WEB_FLAGS)
	$(EMSCRIPTEN_ENV) cmake --build $(EMSCRIPTEN_DIR) -j $(JOBS)

# The web page's figures: transfer size, first frame against a baseline page, memory.
bench-web: web
	@scripts/install-deps web-test
	cd tests/web && [ -d node_modules/puppeteer-core ] || npm ci --no-audit --no-fund
	node tests/bench/web_bench.mjs $(WEB_DIR)

# chalkmere.exe under Wine beside a minimal Win32 program built by the same toolchain: first
# frame, resident memory and idle processor time, as ratios with their goals.
bench-windows: test-deps
	cmake -S . -B $(WINDOWS_DIR) $(WINDOWS_FLAGS) -DCHALKMERE_TESTS=ON
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target chalkmere minimal_win32
	tests/bench/windows_bench.sh $(WINDOWS_DIR)/chalkmere.exe \
	  $(WINDOWS_DIR)/tests/minimal_win32.exe $(CURDIR)/$(WINDOWS_DIR)/wine-prefix-bench

# The web page's story in a real browser (headless Chromium driven by Puppeteer).
test-web: web
	@scripts/install-deps web-test
	tests/web/run.sh $(WEB_DIR)

bench: build
	$(BUILD_DIR)/tests/bench/paint_bench
	$(BUILD_DIR)/tests/bench/progress_bench
	$(BUILD_DIR)/tests/bench/figures_bench
	tests/bench/program_bench.sh $(BUILD_DIR)/app/chalkmere $(BUILD_DIR)/tests/bench/minimal_sdl

# Ten thousand taps through every screen (SOAK_TAPS to change it): memory, descriptors and
# the registry's files stay flat, and nothing stored is lost.
SOAK_TAPS ?= 10000
soak: build
	tests/soak/soak.sh $(BUILD_DIR)/app/chalkmere $(BUILD_DIR)/tests/e2e/registry_dump \
	  $(BUILD_DIR)/tests/e2e/close_window $(SOAK_TAPS)

# Plants faults one at a time in the production code, runs the test layers that can see each
# (Linux, ASan, Windows under Wine, the web story) and says which ones no named test catches
# (build folders of its own; not part of make test).
mutants: test-deps
	tests/mutants/mutants.py --build $(CURDIR)/build-mutants

# Test lines as a share of every line of C++, JavaScript, Python and shell, as the house rule
# counts them.
test-ratio:
	@tests/mutants/test-ratio

# libFuzzer on the progress store, built with clang under ASan and UBSan.
fuzz: test-deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCHALKMERE_SANITIZE=ON -DCHALKMERE_FUZZ=ON -DCHALKMERE_BENCHMARKS=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target progress_fuzz
	mkdir -p $(FUZZ_DIR)/corpus
	$(SANITIZER_ENV) $(FUZZ_DIR)/tests/fuzz/progress_fuzz -max_total_time=$(FUZZ_SECONDS) \
	  -timeout=10 $(FUZZ_DIR)/corpus tests/fuzz/seeds

# Regenerates the artwork, sounds and contact sheet under resources/ (committed files).
art:
	@scripts/install-deps art
	cd resources/generators && /usr/bin/python3 make_art.py

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR) $(WINDOWS_DIR) $(DEB_DIR) $(WEB_DIR) $(WEB_DIR)-tests $(EMSCRIPTEN_DIR) build-mutants build-mutants.log
