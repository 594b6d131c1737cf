# The two commands of the README, plus benchmarks and formatting.
# Each installs what is missing, configures and builds before it acts.

WERROR := $(if $(CI),ON,OFF)
JOBS   ?= $(shell nproc)

.PHONY: run test bench screenshots deps debug release clean format format-check

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
