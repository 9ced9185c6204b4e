# Front door of the build. Everything goes through CMake; these targets only
# pick the build folder and what to run.
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS ?= $(shell nproc)
PYTHON ?= python3
# The interpreter whose headers the build finds; the module is abi3, so it
# serves every other one, and `make install PYTHON=...` never reconfigures.
BUILD_PYTHON ?= python3
PACKAGE_DIR := $(BUILD)/python
# `make install`: vantrel into $(PREFIX)/bin, the package into the
# site-packages that $(PYTHON) uses for $(PREFIX) (override with PYTHON_SITE).
PREFIX ?= /usr/local
PYTHON_SITE ?= $(shell $(PYTHON) -c 'import sys, sysconfig; print(sysconfig.get_path("platlib", "posix_prefix", {"base": sys.argv[1], "platbase": sys.argv[1]}))' '$(PREFIX)')
FUZZ_SECONDS ?= 60

.PHONY: all build asan test demo bench fuzz format packages clean install wheel

all: build

build: packages
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DPython3_EXECUTABLE=$$(command -v $(BUILD_PYTHON)) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

# The C++ tests again, under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: packages
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DOV_SANITIZE=ON -DOV_MODULE=OFF -DOV_BENCH=OFF >/dev/null
	cmake --build $(ASAN_BUILD) -j $(JOBS)

test: build asan
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

install: build
	cmake --install $(BUILD) --component vantrel --prefix '$(PREFIX)'
	cmake --install $(BUILD) --component python --prefix '$(PYTHON_SITE)'

# One abi3 wheel, cp39-abi3-linux_x86_64, into dist/.
wheel: build
	cmake --build $(BUILD) --target wheel

demo: build
	PYTHONPATH=$(PACKAGE_DIR) $(PYTHON) examples/demo.py

bench: build
	@for b in $(BUILD)/bench/*_bench; do echo "== $$b"; $$b || exit 1; done
	@for s in bench/*_bench.py; do echo "== $$s"; PYTHONPATH=$(PACKAGE_DIR) $(PYTHON) $$s || exit 1; done

# libFuzzer targets, built with clang 16 (clang 14 cannot compile <expected>).
# Run one with: build-fuzz/fuzz/<name> fuzz/corpus/<name>
fuzz:
	@.ci/ensure-packages clang-16 libclang-rt-16-dev
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++-16 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DOV_FUZZ=ON -DOV_MODULE=OFF -DOV_CLI=OFF -DOV_TESTS=OFF -DOV_BENCH=OFF >/dev/null
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

format:
	clang-format -i $$(git ls-files '*.cc' '*.h')

packages:
	@.ci/ensure-packages $$(cat .ci/packages)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) dist
