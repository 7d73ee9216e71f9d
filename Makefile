# Front door. `make run` and `make test` do all the set-up on a fresh Debian 12 machine.
BUILD      := build
TEST_BUILD := build-asan
JOBS       ?= $(shell nproc)

.PHONY: run build test bootstrap clean contact-sheet screenshots

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXTILE_TESTS=OFF >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./vextile

test: bootstrap
	@cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVEXTILE_SANITIZE=ON -DVEXTILE_BENCH=OFF >/dev/null
	@cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)

contact-sheet: build
	@scripts/contact-sheet $(BUILD)/media $(BUILD)/contact-sheet.png

screenshots: build
	@scripts/screenshots $(BUILD)/vextile $(BUILD)/media $(BUILD)/screens

clean:
	rm -rf $(BUILD) $(TEST_BUILD)
