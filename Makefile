# The two commands a person needs: `make demo` and `make test`. `make help` lists the others.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all build deps programs demo test bench fuzz test-asan install package screenshots crash \
        reliability-long clean help

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# The programs a person runs and their data, in build/bin; no test, benchmark or fuzz program.
programs: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target programs

demo: programs
	@scripts/demo.sh $(BUILD)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BUILD)-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DPAGEWRIGHT_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD)-release -j $(JOBS)
	@scripts/bench.sh $(BUILD)-release

# Installs into PREFIX (default /usr/local); DESTDIR stages the files elsewhere (and records
# nothing in the registry). Builds only what it installs.
PREFIX ?=
install: $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target installed
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

# The Debian package $(BUILD)/pagewright_<version>_<arch>.deb, for `apt install ./...deb`.
package: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target installed
	cd $(BUILD) && cpack -G DEB

# Renders the window offscreen (each tab in both languages, pickers, a run, the stop box).
screenshots: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/pagewright-screenshots $(BUILD)/screenshots

# The full kill test (200 kills per run kind) and the huge inputs (100 MB lines, a million
# records); the short versions run in `make test`.
crash: build
	cmake --build $(BUILD) --target crash
reliability-long: build
	cmake --build $(BUILD) --target reliability-long

# Each libFuzzer target runs for FUZZ_SECONDS; what it finds lands in fuzz/corpus/<name>/.
FUZZ_SECONDS ?= 60
fuzz: deps
	cmake -S . -B $(BUILD)-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DPAGEWRIGHT_FUZZ=ON \
	  -DPAGEWRIGHT_WINDOW=OFF -DPAGEWRIGHT_TESTS=OFF -DPAGEWRIGHT_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD)-fuzz -j $(JOBS)
	@scripts/fuzz.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

# Every test, the window's included, under AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer; the first error stops its test with a stack trace. The window's
# tests skip leaks of the system libraries below the toolkit (tests/sanitizer/lsan.supp).
test-asan: deps
	cmake -S . -B $(BUILD)-asan -G Ninja -DPAGEWRIGHT_SANITIZE=ON -DPAGEWRIGHT_BENCH=OFF \
	  -DPAGEWRIGHT_WINDOW=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD)-asan -j $(JOBS)
	cd $(BUILD)-asan && QT_QPA_PLATFORM=offscreen UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1 \
	  ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(BUILD)-release $(BUILD)-fuzz $(BUILD)-asan

help:
	@echo "make demo      builds the programs and generates the sample site ($(BUILD)/demo-site/)"
	@echo "make test      builds everything and runs every test"
	@echo "make build     builds everything: programs, tests, benchmarks, fuzz replays"
	@echo "make programs  builds the programs and their data only ($(BUILD)/bin/)"
	@echo "make install   installs into PREFIX (default /usr/local); unpage removes it again"
	@echo "make package   builds the Debian package $(BUILD)/pagewright_<version>_<arch>.deb"
	@echo "make bench     benchmarks, in a release build ($(BUILD)-release)"
	@echo "make fuzz      runs each fuzz target for FUZZ_SECONDS ($(BUILD)-fuzz)"
	@echo "make test-asan every test under the sanitizers ($(BUILD)-asan)"
	@echo "make screenshots, crash, reliability-long, clean: see the Makefile"
