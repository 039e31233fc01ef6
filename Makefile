# Quick start: `make run` builds and starts Nexolan, `make test` runs the suite.
# Both install the missing Debian packages first.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=

PACKAGES := cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libgl-dev
# `make test` also installs what the end-to-end test needs: a virtual X
# display, a D-Bus session and the AT-SPI stack with its Python bindings.
E2E_PACKAGES := xvfb xauth dbus-daemon at-spi2-core python3 python3-gi python3-pyatspi
test: PACKAGES += $(E2E_PACKAGES)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build run test clean

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		$(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR)

run: build
	./$(BUILD_DIR)/nexolan

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure

clean:
	rm -rf $(BUILD_DIR)

# Sanitizer build: the whole suite under AddressSanitizer (with LeakSanitizer)
# and UndefinedBehaviorSanitizer, in its own build tree. A Debug build, so
# that Qt's own index checks in the container code we call stay on. Leaks
# inside system libraries that Qt loads (not ours) are suppressed in
# tests/lsan.supp. No strict_string_checks: Debian 12's libxkbcommon-x11 trips
# it with a correct strndup on every start on the xcb platform.
ASAN_BUILD_DIR ?= build-asan
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: test-asan fuzz

test-asan: PACKAGES += $(E2E_PACKAGES)
test-asan: deps
	cmake -S . -B $(ASAN_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNEXOLAN_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD_DIR)
	cd $(ASAN_BUILD_DIR) && $(SANITIZER_ENV) ctest --output-on-failure

# Fuzzing: the libFuzzer targets of fuzz/, built with clang in their own build
# tree, each run for FUZZ_SECONDS. Only this target needs clang.
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_PACKAGES := clang-14 libclang-rt-14-dev

fuzz: PACKAGES += $(FUZZ_PACKAGES)
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=Debug \
		"-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" -DNEXOLAN_BUILD_FUZZERS=ON -DNEXOLAN_BUILD_TESTS=OFF
	cmake --build $(FUZZ_BUILD_DIR) --target fuzzers
	fuzz/run-fuzzers.sh $(FUZZ_BUILD_DIR) $(FUZZ_SECONDS)

# Benchmarks: the benchmark program of bench/ (Google Benchmark) in a Release
# build of its own, on Qt's offscreen platform unless QT_QPA_PLATFORM is set.
# Options for the program go in BENCH_ARGS, e.g.
# BENCH_ARGS=--benchmark_filter=ParseAndLoad or BENCH_ARGS=--benchmark_format=json.
BENCH_BUILD_DIR ?= build-bench
BENCH_ARGS ?=
BENCH_PACKAGES := libbenchmark-dev

# Packaging: a Release build of its own, packed by CPack into a Debian
# package (dpkg-shlibdeps, from dpkg-dev, works out its dependencies).
PACKAGE_BUILD_DIR ?= build-package
PACKAGE_PACKAGES := dpkg-dev

# The installation test of `make test` answers a message box on a virtual
# display with xdotool, and checks the desktop entry.
INSTALL_TEST_PACKAGES := xvfb xauth xdotool desktop-file-utils
test test-asan: PACKAGES += $(INSTALL_TEST_PACKAGES)

.PHONY: bench package

bench: PACKAGES += $(BENCH_PACKAGES)
bench: deps
	cmake -S . -B $(BENCH_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DNEXOLAN_BUILD_BENCHMARKS=ON \
		-DNEXOLAN_BUILD_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(BENCH_BUILD_DIR) --target nexolan_bench
	$(BENCH_BUILD_DIR)/bench/nexolan_bench $(BENCH_ARGS)

package: PACKAGES += $(PACKAGE_PACKAGES)
package: deps
	cmake -S . -B $(PACKAGE_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DNEXOLAN_BUILD_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(PACKAGE_BUILD_DIR)
	cd $(PACKAGE_BUILD_DIR) && cpack -G DEB
