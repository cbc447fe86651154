# Set-up and everyday commands. `make demo` and `make test` work on a fresh machine.
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
# A compiler cache, where one is installed, makes rebuilds of unchanged sources free.
LAUNCHER := $(shell command -v ccache >/dev/null 2>&1 && echo "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache")
JOBS ?= $(shell nproc)
# The builds that `make` and `make test` configure compile each target's sources
# in batches: a clean build (CI's) takes about half the time.
UNITY := -DTOLVANE_UNITY=ON
CTEST_FLAGS ?= --output-on-failure -j $(JOBS)
PREFIX ?= /usr/local
DIST ?= dist

.PHONY: all deps build build-asan demo test test-asan bench fuzz clean install uninstall deb windows test-windows

all: build

deps:
	@scripts/install-deps

build/CMakeCache.txt: | deps
	cmake -S . -B build $(GENERATOR) $(LAUNCHER) $(UNITY) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps build/CMakeCache.txt
	cmake --build build -j $(JOBS)

build-asan/CMakeCache.txt: | deps
	cmake -S . -B build-asan $(GENERATOR) $(LAUNCHER) $(UNITY) -DCMAKE_BUILD_TYPE=Debug -DTOLVANE_SANITIZE=ON -DTOLVANE_BENCH=OFF

build-asan: deps build-asan/CMakeCache.txt
	cmake --build build-asan -j $(JOBS)

demo: build
	@scripts/demo

# Every test on the normal build, then the unit tests again under the sanitizers,
# then the Windows build's. Its Debian sources, mostly a wait on the network,
# are fetched while the Linux builds compile.
test: deps
	@mkdir -p build-windows
	@scripts/windows-sources build-windows/sources >build-windows/sources.log 2>&1 & fetch=$$!; \
	$(MAKE) build build-asan; built=$$?; \
	wait $$fetch || { cat build-windows/sources.log >&2; exit 1; }; \
	exit $$built
	cd build && ctest $(CTEST_FLAGS)
	cd build-asan && ctest $(CTEST_FLAGS) -L unit
	JOBS=$(JOBS) scripts/test-windows

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

# The Windows program (mingw-w64, 32-bit) and its zip.
WINDOWS_ZIP := dist/tolvane-1.1.5-win32.zip
build-windows/CMakeCache.txt: | deps
	scripts/windows-sources build-windows/sources
	cmake -S . -B build-windows $(GENERATOR) $(LAUNCHER) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake

windows: deps build-windows/CMakeCache.txt
	cmake --build build-windows -j $(JOBS) --target windows_programs
	scripts/windows-zip build-windows $(WINDOWS_ZIP)

# The Windows build's tests under Wine (part of `make test`).
test-windows: deps
	JOBS=$(JOBS) scripts/test-windows

clean:
	rm -rf build build-asan build-windows build-windows64 build-fuzz dist

# The program (stripped), its manual page, the README and the examples below
# $(DESTDIR)$(PREFIX); uninstall removes exactly those.
install: build
	@PREFIX="$(PREFIX)" DESTDIR="$(DESTDIR)" scripts/install-files install build/tolvane

uninstall:
	@PREFIX="$(PREFIX)" DESTDIR="$(DESTDIR)" scripts/install-files uninstall

# $(DIST)/tolvane_<version>-1_<arch>.deb, built with dpkg-deb and dpkg-shlibdeps.
deb: build
	@scripts/deb build/tolvane $(DIST)
