# The README's two commands: `make demo` and `make test`.
.PHONY: demo test bench deps clean

demo:
	@echo "make demo: the reference host and its demo are not built yet"

test: deps
	scripts/run-tests.sh

# One table of figures; QUINDLE_BENCH_DEEP=1 adds the 13-level tree (about 1.4 GB).
bench: deps
	cmake --preset native >/dev/null
	cmake --build --preset native --target quindle_bench
	build/native/bin/quindle_bench

deps:
	scripts/install-deps.sh

clean:
	rm -rf build
