# The README's two commands: `make demo` and `make test`.
.PHONY: demo test bench fuzz package demo-deps clean

# Where the demo keeps its settings, away from the user's own.
DEMO_SETTINGS := build/demo-settings
HOST := build/native/bin/quindle-host

# Builds the native module and the reference host, switches the filter on in the demo's own
# settings folder with the sample dictionary, and prints one generated listing.
demo: demo-deps
	@mkdir -p build
	@cmake --preset native >build/native.configure.log 2>&1 || { cat build/native.configure.log; exit 1; }
	cmake --build --preset native --target quindle-host
	@$(HOST) --settings $(DEMO_SETTINGS) settings --reset --enable --levels 2 --max-files 30 \
	  --dictionary examples/words.txt >/dev/null
	@echo
	@$(HOST) --settings $(DEMO_SETTINGS) run
	@echo
	@echo "Run it again for another listing:"
	@echo "  $(HOST) --settings $(DEMO_SETTINGS) run"
	@echo "Other formats: add --format json, or --format stats"

# Installs what the suites need (a part Debian's mirror cannot supply skips only its suites).
test:
	scripts/run-tests.sh

# One table of figures; QUINDLE_BENCH_DEEP=1 adds the 13-level tree (about 1.4 GB). The 32-bit
# build's rows come from the native32 preset, built where its compilers are installed; the table
# says why where they are not.
bench:
	-scripts/install-deps.sh bench
	cmake --preset native >/dev/null
	cmake --build --preset native --target quindle_bench
	-cmake --preset native32 >build/native32.configure.log 2>&1 && \
	  cmake --build --preset native32 >build/native32.build.log 2>&1
	build/native/bin/quindle_bench

# The fuzz targets alone, each for SECONDS (default 15): make fuzz SECONDS=600
fuzz:
	scripts/install-deps.sh fuzz
	scripts/run-fuzz.sh $(SECONDS)

# One archive per platform in dist/ (see scripts/make-packages.sh); needs no Wine and no qemu.
package:
	scripts/install-deps.sh package
	scripts/make-packages.sh

demo-deps:
	@scripts/install-deps.sh native

clean:
	rm -rf build
