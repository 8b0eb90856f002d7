# The two commands a newcomer needs: `make run` and `make test`.
BUILD ?= build
JOBS  ?= 2
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test bench bench-desktop fuzz backend clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/pawlane

test: build
	ctest --test-dir $(BUILD) --output-on-failure --timeout 900

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; true

# CPU and memory of the running app under Xvfb against oneko; BENCH_SECONDS per run.
BENCH_SECONDS ?= 30
bench-desktop: build
	bench/desktop_measure.sh $(BUILD) $(BENCH_SECONDS)

# Throw-away PostgreSQL + dev gateway for trying the social features: prints the two
# variables to export before `make run`; Ctrl+C stops both.
backend: configure
	cmake --build $(BUILD) -j$(JOBS) --target pawlane-gateway
	@PAWLANE_GATEWAY=$(BUILD)/backend/local/pawlane-gateway scripts/backend.sh run

# libFuzzer build of the pet-code parser (clang only); runs for FUZZ_SECONDS.
FUZZ_SECONDS ?= 60
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAWLANE_FUZZ=ON
	cmake --build build-fuzz -j$(JOBS) --target fuzz_pet_code
	mkdir -p build-fuzz/corpus
	build-fuzz/tests/fuzz/fuzz_pet_code -max_total_time=$(FUZZ_SECONDS) build-fuzz/corpus tests/fuzz/corpus

clean:
	rm -rf $(BUILD) build-fuzz
