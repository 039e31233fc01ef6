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
