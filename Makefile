# The two everyday commands: `make run` starts the program, `make test` runs every test.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
ARGS ?=
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=

# For the compiler cache (ccache, where installed): paths inside this folder
# count relative to it and the folder compiled in is not part of a result's
# key, so a fresh clone elsewhere reuses what an earlier one compiled. The
# debug information of such a result names the folder it was first made in.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := true

.PHONY: all deps configure build run run-cli screenshots deb deb-check test test-asan test-tsan sanitize crashtest bench fuzz format format-check clean

all: build

deps:
	scripts/install-deps

# The benchmark programs are built with everything else (they are small), so
# that a change of an interface they call fails the build and the naming
# check instead of surfacing at the next `make bench`.
configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_BUILD_BENCH=ON >/dev/null

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/ui/app/tarnwick $(ARGS)

# The headless front end; without ARGS it shows its usage.
run-cli: build
	$(BUILD_DIR)/cli/tarnwick-cli $(if $(ARGS),$(ARGS),--help)

# A Debian package of both programs with their data, in build/ (install it
# with `sudo apt install ./build/tarnwick_*.deb`).
deb: build
	TARNWICK_PACKAGE_DEPS=1 scripts/install-deps
	cd $(BUILD_DIR) && cpack -G DEB

# The package held to Debian's rules: any error or warning of lintian fails.
deb-check: deb
	lintian --fail-on error,warning $(BUILD_DIR)/tarnwick_*.deb

# Pictures of the desktop program's windows, rendered without a display;
# those of the main window once more as on screens of 1024x768 and 1920x1080,
# in subfolders.
screenshots: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target tarnwick-screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/ui/screenshots/tarnwick-screenshots $(BUILD_DIR)/screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/ui/screenshots/tarnwick-screenshots --size 1024x768 $(BUILD_DIR)/screenshots/1024x768 >/dev/null
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/ui/screenshots/tarnwick-screenshots --size 1920x1080 $(BUILD_DIR)/screenshots/1920x1080 >/dev/null

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The tests below the desktop program under AddressSanitizer with
# UndefinedBehaviorSanitizer, and the threaded ones under ThreadSanitizer, each
# in a build folder of its own. Any report fails the run; it ends a program
# with status 97, which tarnwick-cli never uses, so that a report in the
# program a test runs cannot pass for its "nothing found".
# The desktop program is left out. Qt's libraries are not built for the
# sanitizers: its own threads (thread pool, network, image loading) hand memory
# to one another under locks that ThreadSanitizer cannot see, which gives over
# a hundred false races in its tests, and building it twice more would double
# the time CI takes.
SANITIZE_CONFIGURE = -DCMAKE_BUILD_TYPE=Debug -DTARNWICK_BUILD_UI=OFF
ASAN_FLAGS = -O1 -g -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined
TSAN_FLAGS = -O1 -g -fsanitize=thread
# What runs threads: the parallel content search (every walk with more than
# one core, also over documents), the background worker and what reads its
# counters, the result list read while written, and tarnwick-cli.
TSAN_TESTS = test_engine_parallel test_engine_worker test_engine_walk test_engine_documents test_formjob \
  test_results test_cli
empty :=
space := $(empty) $(empty)

test-asan: deps
	cmake -S . -B build-asan $(SANITIZE_CONFIGURE) -DCMAKE_CXX_FLAGS="$(ASAN_FLAGS)" >/dev/null
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:exitcode=97 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:exitcode=97 ctest --output-on-failure -j $(JOBS)

test-tsan: deps
	cmake -S . -B build-tsan $(SANITIZE_CONFIGURE) -DCMAKE_CXX_FLAGS="$(TSAN_FLAGS)" >/dev/null
	cmake --build build-tsan -j $(JOBS) --target $(TSAN_TESTS)
	cd build-tsan && TSAN_OPTIONS="halt_on_error=1 exitcode=97 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/tsan.supp" \
	  ctest --output-on-failure -j $(JOBS) -L '^($(subst $(space),|,$(TSAN_TESTS)))$$'

sanitize: test-asan test-tsan

# Kills tarnwick-cli at every file-changing call of a few small replace runs
# and checks the files after the crash, after `tarnwick-cli undo` and after
# the same command run again; `make test` runs a spread of the crash points.
crashtest: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target crashtest

bench:
	TARNWICK_BENCH_DEPS=1 scripts/install-deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTARNWICK_BUILD_TESTS=OFF -DTARNWICK_BUILD_BENCH=ON >/dev/null
	cmake --build build-bench -j $(JOBS)
	bench/run-bench build-bench

# The libFuzzer targets (fuzz/CMakeLists.txt) built with clang in build-fuzz/,
# each run FUZZ_SECONDS (FUZZ_TARGETS="A B" runs only those); any finding
# fails the run and its input lands in build-fuzz/artifacts.
fuzz:
	TARNWICK_FUZZ_DEPS=1 scripts/install-deps
	cmake -S . -B build-fuzz -DTARNWICK_BUILD_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
	cmake --build build-fuzz -j $(JOBS)
	scripts/run-fuzz build-fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# The house layout (.clang-format) over every C++ file of the project.
CLANG_FORMAT ?= clang-format-14
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h' ':!:bench/corpus/*')

format:
	TARNWICK_FORMAT_DEPS=1 scripts/install-deps
	$(CLANG_FORMAT) -i $(FORMAT_FILES)

# Fails, naming the places, when a file is not laid out as `make format` would,
# when an include points back up the layers of scripts/check-layers, or when
# a member function breaks the naming rule (scripts/check-names, .clang-tidy).
# The names are read by clang-tidy with the flags of the build, so the build
# folder is configured first (seconds; the build itself reuses it), with the
# UNO headers it generates.
format-check:
	TARNWICK_FORMAT_DEPS=1 scripts/install-deps
	$(CLANG_FORMAT) --dry-run --Werror $(FORMAT_FILES)
	scripts/check-layers
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_BUILD_BENCH=ON >/dev/null
	cmake --build $(BUILD_DIR) --target tarnwick_uno_headers >/dev/null
	JOBS=$(JOBS) scripts/check-names $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) build-bench build-fuzz build-asan build-tsan
