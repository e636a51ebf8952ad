# Quick start: `make run` runs the program on the bundled catalogue, `make test` builds
# and runs every test. Both install missing Debian packages first.

BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DVACUUM_BENCH=ON $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	@echo "== Product database ($(BUILD)/bin/Vacuum.dat)"
	@$(BUILD)/bin/vacdb tables $(BUILD)/bin/Vacuum.dat
	@echo "== Languages ($(BUILD)/bin/Vacuum.bin)"
	@$(BUILD)/bin/vacdb tables $(BUILD)/bin/Vacuum.bin
	@echo "== tbl Density"
	@$(BUILD)/bin/vacdb dump $(BUILD)/bin/Vacuum.dat "tbl Density"
	@echo "== Suction cups of 20 to 30 mm"
	@$(BUILD)/bin/vacuum-cli query $(BUILD)/bin/Vacuum.dat "qry SuctionCups" "(DiameterLong>=20)AND(DiameterLong<=30)" | cut -f1-8 | head -20
	@echo "== Design of examples/glass_plate_rotary.vac"
	@$(BUILD)/bin/vacuum-cli design examples/glass_plate_rotary.vac

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

bench: build
	@for b in $(BUILD)/bin/bench_*; do echo "== $$b"; $$b; done

clean:
	rm -rf $(BUILD)
