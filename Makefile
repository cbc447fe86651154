# Set-up and everyday commands. `make demo` and `make test` work on a fresh machine.
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
JOBS ?= $(shell nproc)
CTEST_FLAGS ?= --output-on-failure -j $(JOBS)
PREFIX ?= /usr/local
DIST ?= dist

.PHONY: all deps build build-asan demo test test-asan bench clean install uninstall deb

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

clean:
	rm -rf build build-asan

# The program (stripped), its manual page, the README and the examples below
# $(DESTDIR)$(PREFIX); uninstall removes exactly those.
install: build
	@PREFIX="$(PREFIX)" DESTDIR="$(DESTDIR)" scripts/install-files install build/tolvane

uninstall:
	@PREFIX="$(PREFIX)" DESTDIR="$(DESTDIR)" scripts/install-files uninstall

# $(DIST)/tolvane_<version>-1_<arch>.deb, built with dpkg-deb and dpkg-shlibdeps.
deb: build
	@scripts/deb build/tolvane $(DIST)
