# Set-up and everyday commands. `make demo` and `make test` work on a fresh machine.
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
JOBS ?= $(shell nproc)
CTEST_FLAGS ?= --output-on-failure -j $(JOBS)

.PHONY: all deps build build-asan demo test test-asan bench fuzz clean

all: build

deps:
	@scripts/install-deps

build/CMakeCache.txt: | deps
	cmake -S . -B build $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps build/CMakeCache.txt
	cmake --build build -j $(JOBS)

build-asan/CMakeCache.txt: | deps
	cmake -S . -B build-asan $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DTOLVANE_SANITIZE=ON -DTOLVANE_BENCH=OFF

build-asan: deps build-asan/CMakeCache.txt
	cmake --build build-asan -j $(JOBS)

demo: build
	@scripts/demo

# Every test on the normal build, then the unit tests again under the sanitizers.
test: build build-asan
	cd build && ctest $(CTEST_FLAGS)
	cd build-asan && ctest $(CTEST_FLAGS) -L unit

bench: build
	@scripts/bench

# libFuzzer targets built with clang into build-fuzz, with seed corpora from
# the samples, the examples and the kept corpus in build-fuzz/corpus/<target>.
build-fuzz/CMakeCache.txt: | deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVANE_FUZZ=ON \
		-DTOLVANE_TESTS=OFF -DTOLVANE_BENCH=OFF -DTOLVANE_WERROR=OFF

fuzz: deps build-fuzz/CMakeCache.txt
	cmake --build build-fuzz -j $(JOBS) --target fuzz_datafile fuzz_spreadsheet fuzz_wordprocessor
	/usr/bin/python3 fuzz/seed.py build-fuzz/corpus

clean:
	rm -rf build build-asan build-fuzz
