# The two commands of the README; everything else is CMake.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
WERROR     ?= $(if $(CI),ON,OFF)

.PHONY: run test deps build build-asan fuzz fuzz-run bench package clean

deps:
	scripts/install-deps $(DEPS_FLAGS)

build:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKEELRUN_WERROR=$(WERROR)
	cmake --build $(BUILD) -j $(JOBS)

build-asan:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKEELRUN_SANITIZE=ON -DKEELRUN_WERROR=$(WERROR)
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target keelrun_tests keelrun_sim_tests keelrun_word_splitter_tests

run: DEPS_FLAGS = --run
run: deps build
	$(BUILD)/keelrun

test: deps build build-asan
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -L core

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKEELRUN_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

# Every fuzz target for SECONDS on its seed corpus, with a table of what it found.
SECONDS ?= 60
fuzz-run: fuzz
	fuzz/run-all $(SECONDS) $(FUZZ_BUILD)

bench: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS) --target keelrun_bench keelrun keelrun-simulate
	$(BUILD)/keelrun_bench
	bench/compare-gpsbabel.sh $(BUILD)

# A Debian package (build/keelrun_VERSION_amd64.deb) of the Release build.
package: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS) --target package

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
