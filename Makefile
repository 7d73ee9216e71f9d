# Front door. `make run` and `make test` do all the set-up on a fresh Debian 12 machine.
BUILD      := build
TEST_BUILD := build-asan
BENCH_BUILD := build-bench
PACKAGE_BUILD := build-package
PREFIX     ?= /usr/local
JOBS       ?= $(shell nproc)

.PHONY: run build test bench bootstrap clean contact-sheet screenshots install package format format-check \
	golden test-share

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXTILE_TESTS=OFF >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./vextile

# Installs the game under PREFIX (default /usr/local), below DESTDIR when that is given:
# `make install DESTDIR=/tmp/stage PREFIX=/usr`.
install: bootstrap
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXTILE_TESTS=OFF \
		-DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD)

# A Debian package (.deb) from a stripped Release build of its own, installed under /usr.
package: bootstrap
	@scripts/package $(PACKAGE_BUILD) $(JOBS)

test: bootstrap
	@cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVEXTILE_SANITIZE=ON -DVEXTILE_BENCH=OFF >/dev/null
	@cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory fuzz-smoke

# Draws the golden pictures (tests/golden/*.png) afresh, after an intended change to what a screen
# shows; look at each changed picture before committing it.
golden: bootstrap
	@cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVEXTILE_SANITIZE=ON -DVEXTILE_BENCH=OFF >/dev/null
	@cmake --build $(TEST_BUILD) -j $(JOBS) --target golden_test
	cd $(TEST_BUILD)/tests && VEXTILE_GOLDEN_UPDATE=1 ./golden_test
	@git status --short tests/golden

# The size of tests/ against src/ plus tools/ (non-blank, non-comment lines).
test-share:
	@scripts/test-share

# Frame costs against the memset + memcpy bound, allocations of steady play, start-up time and the
# frame clock's pacing, in an optimised build without sanitizers; then the whole game's CPU load
# (and the X server's) under Xvfb. Extra flags for the benchmark program go in BENCH_ARGS.
BENCH_ARGS ?= --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
bench: bootstrap
	@cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
		-DVEXTILE_TESTS=OFF -DVEXTILE_BENCH=ON >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS) --target vextile_bench vextile
	$(BENCH_BUILD)/bench/vextile_bench $(BENCH_ARGS)
	@bench/desktop_load.sh $(abspath $(BENCH_BUILD))/vextile $(abspath $(BENCH_BUILD))/media

contact-sheet: build
	@scripts/contact-sheet $(BUILD)/media $(BUILD)/contact-sheet.png

screenshots: build
	@scripts/screenshots $(BUILD)/vextile $(BUILD)/media $(BUILD)/screens

clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD)

# ---- formatting -------------------------------------------------------------------------------
# Every C++ file under version control, formatted with the repository's .clang-format.
CLANG_FORMAT ?= clang-format
FORMAT_FILES  = $(shell git ls-files '*.cpp' '*.h')

format: bootstrap
	@$(CLANG_FORMAT) -i $(FORMAT_FILES)

format-check: bootstrap
	@$(CLANG_FORMAT) --dry-run --Werror $(FORMAT_FILES)

# ---- fuzzing ----------------------------------------------------------------------------------
# libFuzzer targets (fuzz/) in a clang build of their own with AddressSanitizer and
# UndefinedBehaviorSanitizer. `make fuzz` runs each for FUZZ_SECONDS; `make test` runs each for 10.
FUZZ_BUILD   := build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: fuzz fuzz-build fuzz-smoke

fuzz-build: bootstrap
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXTILE_FUZZ=ON -DVEXTILE_TESTS=OFF -DVEXTILE_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets

fuzz: fuzz-build
	FUZZ_SECONDS=$(FUZZ_SECONDS) fuzz/run $(FUZZ_BUILD)

fuzz-smoke: fuzz-build
	FUZZ_SECONDS=10 fuzz/run $(FUZZ_BUILD)

# ---- soak -------------------------------------------------------------------------------------
# Long seeded games through every screen, checked every frame, under LeakSanitizer, in the test
# build: SOAK_SEEDS seeds from SOAK_FIRST_SEED on, SOAK_FRAMES frames each, JOBS at a time.
# `make test` runs a shorter soak through ctest.
SOAK_FRAMES     ?= 1000000
SOAK_SEEDS      ?= 10
SOAK_FIRST_SEED ?= 11

.PHONY: soak

soak: bootstrap
	@cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVEXTILE_SANITIZE=ON -DVEXTILE_BENCH=OFF >/dev/null
	@cmake --build $(TEST_BUILD) -j $(JOBS) --target vextile_soak
	cd $(TEST_BUILD) && seq $(SOAK_FIRST_SEED) $$(($(SOAK_FIRST_SEED) + $(SOAK_SEEDS) - 1)) | \
		ASAN_OPTIONS=detect_leaks=1 xargs -P $(JOBS) -n 1 ./tests/vextile_soak --frames $(SOAK_FRAMES)
