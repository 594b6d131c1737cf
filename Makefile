# The two commands of the README, plus benchmarks and formatting.
# Each installs what is missing, configures and builds before it acts.

WERROR := $(if $(CI),ON,OFF)
JOBS   ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: run test bench fuzz screenshots deps debug release clean format format-check

deps:
	@scripts/install-deps.sh

debug: deps
	@cmake --preset debug -DALMANARY_WERROR=$(WERROR) >/dev/null
	@cmake --build --preset debug -j $(JOBS)

release: deps
	@cmake --preset release -DALMANARY_WERROR=$(WERROR) >/dev/null
	@cmake --build --preset release -j $(JOBS)

run: release
	@build/release/src/almanary

# The fuzz targets (clang, libFuzzer, both sanitizers), seeded from the
# fixtures and almanary-cli, each run for FUZZ_SECONDS; fails on any find.
fuzz: deps
	@cmake --preset fuzz -DALMANARY_WERROR=$(WERROR) >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)
	@scripts/fuzz-seeds.sh build/fuzz
	@scripts/fuzz-run.sh build/fuzz $(FUZZ_SECONDS)

# The windows rendered offscreen with a sample almanary, into build/screenshots;
# the main window's picture and a printed week also go to docs/ for the README.
screenshots: release
	@QT_QPA_PLATFORM=offscreen build/release/tools/screenshots/almanary-screenshots build/screenshots
	@mkdir -p docs
	@cp build/screenshots/main-window.png docs/main-window.png
	@pdftoppm -png -r 75 -singlefile build/screenshots/printed-week.pdf docs/printed-week

test: debug
	@ctest --preset debug -j $(JOBS)

bench: release
	@for b in build/release/bench/bench_*; do echo "== $$b"; $$b; done
	@bench/cli_vs_remind.sh

format: deps
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

# Fails, naming the files, when any C++ file is not formatted.
format-check: deps
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	@rm -rf build
