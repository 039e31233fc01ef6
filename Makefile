# SPDX-License-Identifier: GPL-3.0-or-later
# Quick start: `make run` builds and starts Nexolan, `make test` runs the suite.
# Both install the missing Debian packages first.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

# To build and run: Qt and the build tools; Qt's translation tools (lupdate,
# lrelease) and its own translations; Wine's Tahoma, which the windows are
# laid out for; the mingw-w64 compilers for the helper programs that reach
# Messenger under Wine; clang-format, which keeps the code's style.
PACKAGES := cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-l10n-tools \
	qt6-translations-l10n libgl-dev fonts-wine g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix \
	clang-format
# `make test` also needs Wine (the Windows helpers and the Wine prefix tests),
# a virtual X display, a D-Bus session and the AT-SPI stack with its Python
# bindings (the end-to-end test), xdotool; for the installation test the
# checkers of the desktop entry, the AppStream metainfo, the manual page and
# the package, and dpkg-shlibdeps (dpkg-dev), without which the package it
# packs would lack the dependency on the C library that lintian asks for.
TEST_PACKAGES := wine wine64 xvfb xauth dbus-daemon at-spi2-core python3 python3-gi python3-pyatspi \
	xdotool desktop-file-utils appstream man-db lintian dpkg-dev
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build run test clean translations

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		$(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	./$(BUILD_DIR)/nexolan

test: PACKAGES += $(TEST_PACKAGES)
test: build
	cd $(BUILD_DIR) && ctest -j$(JOBS) --output-on-failure

clean:
	rm -rf $(BUILD_DIR)

# The code's style (.clang-format) over every C++ file git tracks: `format`
# rewrites the files, `format-check` only fails on any it would change.
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h')

.PHONY: format format-check

format: deps
	clang-format -i $(FORMAT_FILES)

format-check: deps
	clang-format --dry-run -Werror $(FORMAT_FILES)

# The translations (translations/*.ts) brought up to date with the sources by
# lupdate: new texts added unfinished, those the sources dropped removed.
translations: configure
	cmake --build $(BUILD_DIR) --target update_translations

# Sanitizer build: the suites under AddressSanitizer (with LeakSanitizer) and
# UndefinedBehaviorSanitizer, in their own build tree. The end-to-end,
# installation and Wine tests run the programs as users do and are left to
# `make test`. A Debug build, so that Qt's own index checks in the container
# code we call stay on. Leaks inside system libraries that Qt loads (not ours)
# are suppressed in tests/lsan.supp.
ASAN_BUILD_DIR ?= build-asan
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: test-asan fuzz

test-asan: deps
	cmake -S . -B $(ASAN_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNEXOLAN_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD_DIR) -j$(JOBS)
	cd $(ASAN_BUILD_DIR) && $(SANITIZER_ENV) ctest -j$(JOBS) --output-on-failure -LE "e2e|install|wine"

# Fuzzing: the libFuzzer targets of fuzz/, built with clang in their own build
# tree, each run for FUZZ_SECONDS. Only this target needs clang.
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_PACKAGES := clang-14 libclang-rt-14-dev

fuzz: PACKAGES += $(FUZZ_PACKAGES)
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=Debug \
		"-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" -DNEXOLAN_BUILD_FUZZERS=ON -DNEXOLAN_BUILD_TESTS=OFF
	cmake --build $(FUZZ_BUILD_DIR) -j$(JOBS) --target fuzzers
	fuzz/run-fuzzers.sh $(FUZZ_BUILD_DIR) $(FUZZ_SECONDS)

# Benchmarks: the benchmark program of bench/ (Google Benchmark) in a Release
# build of its own, on Qt's offscreen platform unless QT_QPA_PLATFORM is set.
# Options for the program go in BENCH_ARGS, e.g.
# BENCH_ARGS=--benchmark_filter=ParseAndLoad or BENCH_ARGS=--benchmark_format=json.
# `make bench-build` only builds it (CI does, so that it cannot rot).
BENCH_BUILD_DIR ?= build-bench
BENCH_ARGS ?=
BENCH_PACKAGES := libbenchmark-dev

.PHONY: bench bench-build package

bench-build: PACKAGES += $(BENCH_PACKAGES)
bench-build: deps
	cmake -S . -B $(BENCH_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DNEXOLAN_BUILD_BENCHMARKS=ON \
		-DNEXOLAN_BUILD_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(BENCH_BUILD_DIR) -j$(JOBS) --target nexolan_bench

bench: bench-build
	$(BENCH_BUILD_DIR)/bench/nexolan_bench $(BENCH_ARGS)

# Packaging: a Release build of its own, packed by CPack into a Debian
# package (dpkg-shlibdeps, from dpkg-dev, works out its dependencies). It is
# compiled and linked with the flags Debian builds its own packages with,
# every hardening option included, as dpkg-buildflags gives them.
PACKAGE_BUILD_DIR ?= build-package
PACKAGE_PACKAGES := dpkg-dev
DEB_FLAG = $$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get $(1))

package: PACKAGES += $(PACKAGE_PACKAGES)
package: deps
	cmake -S . -B $(PACKAGE_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DNEXOLAN_BUILD_TESTS=OFF \
		"-DCMAKE_CXX_FLAGS=$(call DEB_FLAG,CPPFLAGS) $(call DEB_FLAG,CXXFLAGS)" \
		"-DCMAKE_EXE_LINKER_FLAGS=$(call DEB_FLAG,LDFLAGS)" $(CMAKE_FLAGS)
	cmake --build $(PACKAGE_BUILD_DIR) -j$(JOBS)
	cd $(PACKAGE_BUILD_DIR) && cpack -G DEB

# Windows: `make windows` and `make windows-test`.
include packaging/windows/windows.mk
