# Orbisk: the two set-up commands are `make run` and `make test`.
SHELL := /bin/bash
JOBS ?= 2
FUZZ_SECONDS ?= 60
DEV_BUILD := build/dev
TEST_BUILD := build/asan
CORE_BUILD := build/core-only
BENCH_BUILD := build/bench
FUZZ_BUILD := build/fuzz
PACKAGE_BUILD := build/package
CMAKE_GEN := -G Ninja

.PHONY: all deps build run test test-asan test-core-only format check-format bench fuzz fuzz-ci package clean

all: build

deps:
	@tools/install-deps.sh

build: deps
	cmake -S . -B $(DEV_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBISK_TESTS=OFF
	cmake --build $(DEV_BUILD) -j $(JOBS)

# Builds and starts the desktop program; the working folder "VEviz" is
# looked for in the folder it is started from.
# The build folder is a portable install: its own Orbisk.INI (empty at
# first, so the first start opens the help) keeps the settings beside the program.
run: build
	test -e $(DEV_BUILD)/bin/Orbisk.INI || : > $(DEV_BUILD)/bin/Orbisk.INI
	$(DEV_BUILD)/bin/orbisk

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, then
# core and command-line tool again in a build without Qt at all.
test: deps check-format test-asan test-core-only

test-asan:
	cmake -S . -B $(TEST_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DORBISK_SANITIZE=ON
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

test-core-only:
	cmake -S . -B $(CORE_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DORBISK_GUI=OFF
	cmake --build $(CORE_BUILD) -j $(JOBS)
	cd $(CORE_BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

format:
	git ls-files -co --exclude-standard '*.cpp' '*.h' | grep -v '^build' | xargs -r clang-format -i

check-format:
	@tools/check-format.sh

bench: deps
	cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DORBISK_BENCH=ON -DORBISK_GUI=ON -DORBISK_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	tools/run-bench.sh $(BENCH_BUILD)/bin

fuzz: deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBISK_FUZZ=ON -DORBISK_GUI=OFF -DORBISK_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	tools/run-fuzz.sh $(FUZZ_BUILD)/bin $(FUZZ_SECONDS)

fuzz-ci:
	$(MAKE) fuzz FUZZ_SECONDS=20

# The Debian package of the installed layout (cmake --install under /usr), put
# here as orbisk_VERSION_ARCH.deb: apt install ./orbisk_*.deb
package: deps
	cmake -S . -B $(PACKAGE_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DORBISK_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	rm -f $(PACKAGE_BUILD)/orbisk_*.deb orbisk_*.deb
	cd $(PACKAGE_BUILD) && cpack -G DEB
	cp $(PACKAGE_BUILD)/orbisk_*.deb .

clean:
	rm -rf build
