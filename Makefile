# Quick start: `make run` runs the desktop program on the bundled catalogue (without a
# display: the batch design of an example), `make test` builds and runs every test. Both
# install missing Debian packages first. `make package` builds the Debian package.

BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench package clean

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DVACUUM_BENCH=ON $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		$(BUILD)/bin/vacuum-designer; \
	else \
		echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): designing examples/glass_plate_rotary.vac in batch instead."; \
		$(BUILD)/bin/vacuum-cli design examples/glass_plate_rotary.vac; \
	fi

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

bench: build
	@for b in $(BUILD)/bin/bench_*; do echo "== $$b"; $$b; done

# The Debian package vacuum-designer_<version>_<arch>.deb in $(BUILD), installed under /usr.
package: deps
	cmake -S . -B $(BUILD) -DVACUUM_BENCH=ON -DCMAKE_INSTALL_PREFIX=/usr $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
