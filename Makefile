# Thin wrappers around CMake and CTest; the README lists what each target does.
BUILD_DIR ?= build
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: all deps configure build test bench clean

all: build

deps:
	./scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BUILD_DIR)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSALY_BUILD_BENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR)-bench -j $(JOBS) --target tessaly_bench
	mkdir -p $(BUILD_DIR)
	$(BUILD_DIR)-bench/tests/bench/tessaly_bench --benchmark_out=$(BUILD_DIR)/bench.json --benchmark_out_format=json

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR)-bench
