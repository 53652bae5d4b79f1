# The README's two commands: `make demo` and `make test`.
.PHONY: demo test deps clean

demo:
	@echo "make demo: the reference host and its demo are not built yet"

test: deps
	scripts/run-tests.sh

deps:
	scripts/install-deps.sh

clean:
	rm -rf build
