# The two commands of the README: `make run` and `make test`. Both set up what is missing first.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
WERROR ?= OFF
CMAKE_FLAGS ?=

PREFIX ?= /usr/local

.PHONY: all setup configure build test run install uninstall package install-check sanitize \
	bench fuzz mutate clean

all: build

setup:
	@scripts/setup.sh

$(BUILD)/build.ninja: CMakeLists.txt | setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUANTEM_WERROR=$(WERROR) $(CMAKE_FLAGS) >/dev/null

configure: setup $(BUILD)/build.ninja

build: configure
	@cmake --build $(BUILD)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j2

run: build
	@scripts/run.sh $(BUILD)

# Installs the built programs under PREFIX (`make install PREFIX=~/.local`), then refreshes the
# desktop's file-type and menu caches there when their tools are present. The list of what it
# wrote is kept beside the build (install-check's own installs do not replace it), and
# `make uninstall` removes those files and refreshes the caches again.
INSTALLED = $(BUILD)/installed-files.txt
refresh_caches = if command -v update-mime-database >/dev/null && [ -d $(1)/share/mime ]; then \
		update-mime-database $(1)/share/mime; fi; \
	if command -v update-desktop-database >/dev/null && [ -d $(1)/share/applications ]; then \
		update-desktop-database -q $(1)/share/applications; fi

install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)
	@cp $(BUILD)/install_manifest.txt $(INSTALLED)
	@echo $(PREFIX) > $(INSTALLED).prefix
	@$(call refresh_caches,$(PREFIX))

uninstall:
	@test -f $(INSTALLED) || { echo "nothing installed from $(BUILD)"; exit 1; }
	@xargs -d '\n' rm -fv < $(INSTALLED)
	@$(call refresh_caches,$$(cat $(INSTALLED).prefix))
	@rm -f $(INSTALLED) $(INSTALLED).prefix

# The Debian package of the build folder, quantem_VERSION_ARCH.deb in it.
package: build
	@cd $(BUILD) && cpack -G DEB

# Installs the build folder into a staging folder and a second prefix, makes the package, and
# checks both with the desktop's and Debian's tools (scripts/install-check.sh).
install-check: build
	@scripts/setup.sh --install-check
	@scripts/install-check.sh $(BUILD)

# Tests under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: setup
	@cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUANTEM_SANITIZE=ON -DQUANTEM_WERROR=$(WERROR) >/dev/null
	@cmake --build $(SANITIZE_BUILD)
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j2

# Speed against what a user would run instead: the Google Benchmark, then bench/compare.py
# (quantem-fit against numpy and SciPy on the same files), then every script of BENCH_SCRIPTS,
# each given the path of quantem-fit. Python packages for it are installed only here.
BENCH_SCRIPTS ?= bench/rank_bench.sh bench/details_bench.py bench/equation_bench.py
bench: setup
	@scripts/setup.sh --bench
	@cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUANTEM_BENCH=ON >/dev/null
	@cmake --build build-bench --target quantem-fit bench_power_search bench_floor_loop bench_ranking_rounds
	@build-bench/bench/bench_power_search
	@/usr/bin/python3 bench/compare.py build-bench
	@for script in $(BENCH_SCRIPTS); do $$script build-bench/src/quantem-fit || exit 1; done

# Each fuzz target for FUZZ_SECONDS (clang, libFuzzer, AddressSanitizer and UBSan).
FUZZ_SECONDS ?= 60
fuzz: setup
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz.sh

# Single-line mutations of the program, one at a time against the tests; prints the share caught.
# MUTATE_ARGS passes options on: `make mutate MUTATE_ARGS="--only engine_linear --only data_program"`.
mutate: setup
	@python3 scripts/mutate.py $(MUTATE_ARGS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) build-bench build-fuzz build-mutate
