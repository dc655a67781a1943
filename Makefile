# Thin wrapper over CMake: `make run` and `make test` work on a fresh Debian 12 machine.
BUILD_DIR    ?= build
SANITIZE_DIR ?= build-sanitize
FUZZ_DIR     ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS         ?= $(shell nproc)
# A compiler cache, when the machine has one, makes rebuilds of unchanged files free.
LAUNCHER     := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache,)

.PHONY: all deps build run test test-sanitize bench fuzz package clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release $(LAUNCHER)
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	cd $(BUILD_DIR)/bin && ./ambrel

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DAMBREL_SANITIZE=ON -DAMBREL_BENCH=OFF $(LAUNCHER)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	ctest --test-dir $(SANITIZE_DIR) --output-on-failure -j $(JOBS)

# Every benchmark program in turn (folders and other files beside them are skipped), then one line per
# benchmark with its paired ratio; fails when any program failed.
bench: build
	@rm -rf $(BUILD_DIR)/bench-results && mkdir -p $(BUILD_DIR)/bench-results
	@status=0; for b in $(BUILD_DIR)/bench/*; do \
		if [ -f "$$b" ] && [ -x "$$b" ]; then \
			"$$b" --benchmark_out="$(BUILD_DIR)/bench-results/$$(basename "$$b").json" \
				--benchmark_out_format=json || status=1; \
		fi; \
	done; \
	echo; echo "Summary:"; python3 bench/summary.py $(BUILD_DIR)/bench-results || status=1; \
	exit $$status

# Each fuzz target runs FUZZ_SECONDS; new inputs go to $(FUZZ_DIR)/corpus, never into the repository.
fuzz:
	@bash scripts/install-deps.sh --fuzz
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_COMPILER=clang++-14 -DAMBREL_FUZZ=ON -DAMBREL_BENCH=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target ambrel_fuzz
	bash tests/fuzz/run-fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# The Debian package, with its dependencies worked out from the libraries the programs link.
package: build
	cd $(BUILD_DIR) && cpack -G DEB
	@echo "Package: $$(ls -t $(abspath $(BUILD_DIR))/ambrel_*.deb | head -n 1)"

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR)
