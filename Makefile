# Thin wrappers around CMake and CTest; the README lists what each target does.
BUILD_DIR ?= build
JOBS ?= 2
CMAKE_FLAGS ?=
# The richest bundled example: every kind of section, gaps, an overlap, labels, constants, functions.
EXAMPLE ?= examples/grus_gateway.abs
# Sanitizer and fuzzing build trees, and how long `make fuzz` runs each fuzz target.
ASAN_DIR ?= $(BUILD_DIR)-asan
FUZZ_DIR ?= $(BUILD_DIR)-fuzz
WINDOWS_DIR ?= $(BUILD_DIR)-windows
FUZZ_SECONDS ?= 120
FUZZ_TARGETS := fuzz_read fuzz_ieee695 fuzz_framed fuzz_regions fuzz_compare
SANITIZE_FLAGS := -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
# -O1 with line tables compiles the tests in a third of the time -O2 -g takes, keeps the stack
# traces readable, and leaves assertions on.
SANITIZE_OPT := -O1 -g1
# Extra ctest arguments for the sanitizer run, e.g. ASAN_CTEST_ARGS='-E viewer_' to leave tests out.
ASAN_CTEST_ARGS ?=

.PHONY: all deps configure build test package check-package windows test-windows bench examples run asan test-asan \
  fuzz-build fuzz fuzz-seeds format format-check clean

all: build

deps:
	./scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The Debian package tessaly_<version>_<arch>.deb in $(BUILD_DIR), made by CPack from the install
# rules (cmake/TessalyPackage.cmake); check-package checks it and builds a C program against a
# DESTDIR installation (tests/install/check-package).
package: build
	cmake --build $(BUILD_DIR) --target package

check-package: package
	tests/install/check-package $(BUILD_DIR)

# The Windows build in a tree of its own, cross-compiled with MinGW-w64 (cmake/mingw-w64-x86_64.cmake):
# orvik.dll with its import library (the build checks that it exports exactly the IE_ functions) and
# orvik-dump.exe; the viewer is not built there.
windows: deps
	cmake -S . -B $(WINDOWS_DIR) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake $(CMAKE_FLAGS)
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target orvik orvik-dump

# The reader's and orvik-dump's tests built for Windows and run under wine, then orvik-dump.exe and
# the Linux orvik-dump side by side on the examples and on broken files (scripts/test-windows).
test-windows: windows configure
	cmake --build $(WINDOWS_DIR) -j $(JOBS)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target orvik-dump
	scripts/test-windows $(WINDOWS_DIR) $(BUILD_DIR)

# Release build of the benchmarks (orvik-dump and tessaly come with them: some run as child
# programs); prints Google Benchmark's table, then the table of targets, and keeps the raw
# figures in build/bench.json. Each benchmark runs BENCH_REPETITIONS times and the table takes
# the median, as the two cores are shared. BENCH_ARGS passes more flags, e.g.
# BENCH_ARGS=--benchmark_filter=Find.
BENCH_REPETITIONS ?= 3
BENCH_ARGS ?=
bench: deps
	cmake -S . -B $(BUILD_DIR)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSALY_BUILD_BENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR)-bench -j $(JOBS) --target tessaly_bench
	mkdir -p $(BUILD_DIR)
	$(BUILD_DIR)-bench/tests/bench/tessaly_bench --benchmark_out=$(BUILD_DIR)/bench.json --benchmark_out_format=json \
	  --benchmark_repetitions=$(BENCH_REPETITIONS) --benchmark_report_aggregates_only=true $(BENCH_ARGS)

# Regenerates the sample files of examples/ with the test writers.
examples: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target make-examples
	$(BUILD_DIR)/tools/make-examples/make-examples examples

# Builds the viewer and opens the richest example in it.
run: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target tessaly
	$(BUILD_DIR)/viewer/tessaly $(EXAMPLE)

# The whole suite under AddressSanitizer (LeakSanitizer included) and UndefinedBehaviorSanitizer,
# in a build tree of its own; any report fails the test that caused it. Warnings do not stop this
# build: the instrumentation misleads GCC's flow analysis (false -Wmaybe-uninitialized in the
# standard library), and the normal build already holds the code to -Werror.
asan: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_FLAGS="$(SANITIZE_FLAGS)" -DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)" \
	  -DCMAKE_C_FLAGS_RELWITHDEBINFO="$(SANITIZE_OPT)" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$(SANITIZE_OPT)" \
	  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
	  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" -DTESSALY_WERROR=OFF $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR) -j $(JOBS)

test-asan: export ASAN_OPTIONS := detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
test-asan: export UBSAN_OPTIONS := print_stacktrace=1:halt_on_error=1
test-asan: asan
	ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS) $(ASAN_CTEST_ARGS)

# The libFuzzer targets (clang, with ASan and UBSan) in a build tree of their own.
fuzz-build: deps
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTESSALY_BUILD_FUZZ=ON $(CMAKE_FLAGS)
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(FUZZ_TARGETS)

# Runs each fuzz target for FUZZ_SECONDS, one after the other; stops with the crash, if any.
fuzz: fuzz-build
	tests/fuzz/run-fuzzers $(FUZZ_DIR) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# Rewrites the seed corpora in tests/fuzz/corpus from the test writers.
fuzz-seeds: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target fuzz_seeds

# Every C and C++ source under version control, formatted by .clang-format (clang-format 14, as
# Debian ships it); format-check fails on the first file that differs and names them all.
FORMAT_SOURCES = git ls-files -z -- '*.c' '*.cpp' '*.h' '*.hpp'
format: deps
	$(FORMAT_SOURCES) | xargs -0 clang-format -i

format-check: deps
	$(FORMAT_SOURCES) | xargs -0 clang-format --dry-run -Werror

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR)-bench $(ASAN_DIR) $(FUZZ_DIR) $(WINDOWS_DIR)
