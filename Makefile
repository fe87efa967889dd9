# Oxi: the two set-up commands are `make run` and `make test`.
BUILD ?= build
PREFIX ?= $(HOME)/.local
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: deps build run test test-asan bench install package clean

deps:
	@bash scripts/installe-dependances.sh

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/lance.sh $(BUILD)/oxi

# Warnings are errors here, so that none creeps in unseen.
test: CMAKE_FLAGS += -DOXI_WERROR=ON
test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The unit suites again with address and undefined-behaviour checks, in a
# build of their own; the end-to-end script and the long fault suite run in `make test`.
test-asan: deps
	@cmake -S . -B $(BUILD)-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOXI_SANITISE=ON -DOXI_WERROR=ON >/dev/null
	@cmake --build $(BUILD)-asan -j $(JOBS)
	@cd $(BUILD)-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j $(JOBS) -E '^(bout_en_bout|test_pannes)$$'

bench: build
	@bash bench/bench.sh $(BUILD)

install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	@cd $(BUILD) && cpack -G DEB

clean:
	@rm -rf $(BUILD) $(BUILD)-asan
