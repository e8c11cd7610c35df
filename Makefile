# Front door: make deps | make | make demo | make test | make install
# Reliability: make test-asan | make test-tsan | make fuzz | make soak
# Performance: make bench
BUILD_DIR ?= build
BUILD := $(abspath $(BUILD_DIR))
JOBS ?= $(shell nproc)
, := ,
QML_RUNTIME ?= /usr/lib/qt5/bin/qml

DEB_PACKAGES := cmake make g++ binutils util-linux \
	qtbase5-dev qtdeclarative5-dev \
	qml qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qttest
FUZZ_PACKAGES := clang libclang-rt-14-dev
BENCH_PACKAGES := python3 nodejs

FUZZ_SECONDS ?= 60
SOAK_SECONDS ?= 180
SANITIZER_ENV := LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# $(call configure,<build dir>,<cmake options>): configures a build folder once.
configure = [ -f "$(1)/CMakeCache.txt" ] || cmake -S . -B "$(1)" $(2)

.PHONY: all deps build demo test install clean test-asan test-tsan fuzz soak bench

all: build

deps:
	@sh scripts/install-deps.sh $(DEB_PACKAGES)

build: deps
	@$(call configure,$(BUILD))
	cmake --build "$(BUILD)" --parallel $(JOBS)

# Qt 5.15's runtime ends every document without a window with status 2, so the demo's
# root is an Item, shown on the offscreen platform.
demo: build
	cd "$(BUILD)" && QT_QPA_PLATFORM=offscreen "$(QML_RUNTIME)" -I qml "$(CURDIR)/examples/demo.qml"

test: build
	cd "$(BUILD)" && ctest --output-on-failure

# Every workload for our modules and the baselines, median of 5 runs each; a table on
# the terminal and JSON in <build>/bench.json.
bench: build
	@sh scripts/install-deps.sh $(BENCH_PACKAGES)
	cd "$(BUILD)" && ./bench/qmlbench --runs 5 --json bench.json

# DESTDIR is honoured: make install DESTDIR=/tmp/stage
install: build
	DESTDIR="$(DESTDIR)" cmake --install "$(BUILD)"

# The whole suite with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@$(call configure,$(BUILD)-asan,-DSANITIZE=address$(,)undefined)
	cmake --build "$(BUILD)-asan" --parallel $(JOBS)
	cd "$(BUILD)-asan" && $(SANITIZER_ENV) ctest --output-on-failure

# Two engines on two threads under ThreadSanitizer. Qt itself is not instrumented, so only
# the reports that involve this project's code count.
test-tsan: deps
	@$(call configure,$(BUILD)-tsan,-DSANITIZE=thread)
	cmake --build "$(BUILD)-tsan" --parallel $(JOBS) --target tst_threads
	cd "$(BUILD)-tsan" && QT_QPA_PLATFORM=offscreen TSAN_OPTIONS="halt_on_error=0 exitcode=0" \
		./tests/tst_threads > tsan.log 2>&1; tail -n 3 tsan.log
	sh scripts/tsan-ours.sh "$(BUILD)-tsan/tsan.log"

# libFuzzer, FUZZ_SECONDS per target; new inputs collect in <build>-fuzz/corpus/.
fuzz:
	@sh scripts/install-deps.sh $(DEB_PACKAGES) $(FUZZ_PACKAGES)
	@$(call configure,$(BUILD)-fuzz,-DCMAKE_CXX_COMPILER=clang++ -DSANITIZE=fuzzer-no-link$(,)address -DFUZZ=ON)
	cmake --build "$(BUILD)-fuzz" --parallel $(JOBS)
	mkdir -p "$(BUILD)-fuzz/corpus/read" "$(BUILD)-fuzz/corpus/launch"
	cd "$(BUILD)-fuzz" && $(SANITIZER_ENV) LC_ALL=C.UTF-8 ./tests/fuzz/fuzz_read \
		-max_total_time=$(FUZZ_SECONDS) -max_len=65536 corpus/read $(CURDIR)/tests/fuzz/corpus/read
	cd "$(BUILD)-fuzz" && $(SANITIZER_ENV) LC_ALL=C.UTF-8 ./tests/fuzz/fuzz_launch -detect_leaks=0 \
		-max_total_time=$(FUZZ_SECONDS) -max_len=4096 corpus/launch $(CURDIR)/tests/fuzz/corpus/launch

# The load test as a soak run of SOAK_SECONDS per part.
soak: build
	cd "$(BUILD)" && SOAK_SECONDS=$(SOAK_SECONDS) ./tests/tst_load

clean:
	rm -rf "$(BUILD)" "$(BUILD)-asan" "$(BUILD)-tsan" "$(BUILD)-fuzz"
