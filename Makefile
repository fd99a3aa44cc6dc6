# The two everyday commands: `make run` starts the program, `make test` runs every test.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
ARGS ?=
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build run run-cli screenshots test bench fuzz format format-check clean

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/ui/app/tarnwick $(ARGS)

# The headless front end; without ARGS it shows its usage.
run-cli: build
	$(BUILD_DIR)/cli/tarnwick-cli $(if $(ARGS),$(ARGS),--help)

# Pictures of the desktop program's windows, rendered without a display.
screenshots: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target tarnwick-screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/ui/screenshots/tarnwick-screenshots $(BUILD_DIR)/screenshots

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench:
	TARNWICK_BENCH_DEPS=1 scripts/install-deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTARNWICK_BUILD_TESTS=OFF -DTARNWICK_BUILD_BENCH=ON >/dev/null
	cmake --build build-bench -j $(JOBS)
	bench/run-bench build-bench

# libFuzzer targets of the document readers (clang, separate from the main build),
# each run FUZZ_SECONDS; crashes land in build-fuzz/artifacts.
fuzz:
	TARNWICK_FUZZ_DEPS=1 scripts/install-deps
	$(MAKE) -C fuzz run BUILD=$(CURDIR)/build-fuzz FUZZ_SECONDS=$(FUZZ_SECONDS) -j $(JOBS)

# The house layout (.clang-format) over every C++ file of the project.
CLANG_FORMAT ?= clang-format-14
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h' ':!:bench/corpus/*')

format:
	TARNWICK_FORMAT_DEPS=1 scripts/install-deps
	$(CLANG_FORMAT) -i $(FORMAT_FILES)

# Fails, naming the places, when a file is not laid out as `make format` would.
format-check:
	TARNWICK_FORMAT_DEPS=1 scripts/install-deps
	$(CLANG_FORMAT) --dry-run --Werror $(FORMAT_FILES)

clean:
	rm -rf $(BUILD_DIR) build-bench build-fuzz
