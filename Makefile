# Front door: make deps | make | make demo | make test | make install
#   Qt 5 (default) and Qt 6: make test-qt5 | make test-qt6 | make demo-qt6 | make install-qt6
# Reliability: make test-asan | make test-tsan | make fuzz | make soak
# Performance: make bench
# Packages: make package | make test-packages
# Example application: make example | make screenshot
BUILD_DIR ?= build
BUILD := $(abspath $(BUILD_DIR))
BUILD6 := $(BUILD)-qt6
JOBS ?= $(shell nproc)
, := ,

QT5_PACKAGES := qtbase5-dev qtdeclarative5-dev qtdeclarative5-dev-tools \
	qml qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qttest
QT6_PACKAGES := qt6-base-dev qt6-declarative-dev qt6-declarative-dev-tools qt6-5compat-dev \
	qml-qt6 qml6-module-qtqml qml6-module-qtqml-models qml6-module-qtqml-workerscript \
	qml6-module-qtquick qml6-module-qtquick-window qml6-module-qttest
DEB_PACKAGES := cmake make g++ binutils util-linux dpkg-dev file $(QT5_PACKAGES) $(QT6_PACKAGES)
FUZZ_PACKAGES := clang libclang-rt-14-dev
BENCH_PACKAGES := python3 nodejs
EXAMPLE_PACKAGES := qml-module-qtquick-controls2 qml-module-qtquick-layouts \
	qml-module-qtquick-templates2 fonts-dejavu-core

QML5 := /usr/lib/qt5/bin/qml
QML6 := /usr/lib/qt6/bin/qml
FUZZ_SECONDS ?= 60
SOAK_SECONDS ?= 180
SANITIZER_ENV := LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# $(call configure,<build dir>,<cmake options>): configures a build folder once.
configure = [ -f "$(1)/CMakeCache.txt" ] || cmake -S . -B "$(1)" $(2)
# $(call compile,<build dir>,<cmake options>)
compile = $(call configure,$(1),$(2)) && cmake --build "$(1)" --parallel $(JOBS)
# $(call run-tests,<build dir>,<environment>)
run-tests = cd "$(1)" && $(2) ctest --output-on-failure

.PHONY: all deps build build-qt5 build-qt6 demo demo-qt6 test test-qt5 test-qt6 \
	install install-qt6 package test-packages example screenshot clean test-asan test-asan-qt5 test-asan-qt6 test-tsan fuzz soak bench

all: build

deps:
	@sh scripts/install-deps.sh $(DEB_PACKAGES)

build: build-qt5

build-qt5: deps
	@$(call compile,$(BUILD),-DQT_MAJOR_VERSION=5)

build-qt6: deps
	@$(call compile,$(BUILD6),-DQT_MAJOR_VERSION=6)

# Qt's `qml` runtime ends every document without a window with status 2, core mode
# included, so the demo's root is an Item, shown on the offscreen platform.
demo: build-qt5
	cd "$(BUILD)" && QT_QPA_PLATFORM=offscreen "$(QML5)" -I qml "$(CURDIR)/examples/demo.qml"

demo-qt6: build-qt6
	cd "$(BUILD6)" && QT_QPA_PLATFORM=offscreen "$(QML6)" -I qml "$(CURDIR)/examples/demo.qml"

test: test-qt5 test-qt6

test-qt5: build-qt5
	$(call run-tests,$(BUILD))

test-qt6: build-qt6
	$(call run-tests,$(BUILD6))

# DESTDIR is honoured: make install DESTDIR=/tmp/stage
install: build-qt5
	DESTDIR="$(DESTDIR)" cmake --install "$(BUILD)"

install-qt6: build-qt6
	DESTDIR="$(DESTDIR)" cmake --install "$(BUILD6)"

# The example application in a window (needs a display), and its picture for the README.
example: build-qt5
	@sh scripts/install-deps.sh $(EXAMPLE_PACKAGES)
	"$(QML5)" -I "$(BUILD)/qml" examples/console/main.qml

screenshot: build-qt5
	@sh scripts/install-deps.sh $(EXAMPLE_PACKAGES)
	sh scripts/screenshot-example.sh "$(BUILD)/qml" "$(CURDIR)/examples/console/main.qml" \
		"$(CURDIR)/docs/console.png"

# Debian packages: qml-module-* (Qt 5) in <build>/packages, qml6-module-* (Qt 6) in
# <build>-qt6/packages.
package: build-qt5 build-qt6
	cd "$(BUILD)" && cpack -B packages
	cd "$(BUILD6)" && cpack -B packages
	@ls "$(BUILD)"/packages/*.deb "$(BUILD6)"/packages/*.deb

# Installs the Qt 5 packages, runs the demo without any import path, removes them again.
test-packages: build-qt5
	sh scripts/test-installed-packages.sh "$(BUILD)" "$(CURDIR)/examples/demo.qml"

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, on both Qt versions.
test-asan: test-asan-qt5 test-asan-qt6

test-asan-qt5: deps
	@$(call compile,$(BUILD)-asan,-DQT_MAJOR_VERSION=5 -DSANITIZE=address$(,)undefined)
	$(call run-tests,$(BUILD)-asan,$(SANITIZER_ENV))

test-asan-qt6: deps
	@$(call compile,$(BUILD6)-asan,-DQT_MAJOR_VERSION=6 -DSANITIZE=address$(,)undefined)
	$(call run-tests,$(BUILD6)-asan,$(SANITIZER_ENV))

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
	@$(call compile,$(BUILD)-fuzz,-DCMAKE_CXX_COMPILER=clang++ -DSANITIZE=fuzzer-no-link$(,)address -DFUZZ=ON)
	mkdir -p "$(BUILD)-fuzz/corpus/read" "$(BUILD)-fuzz/corpus/launch"
	cd "$(BUILD)-fuzz" && $(SANITIZER_ENV) LC_ALL=C.UTF-8 ./tests/fuzz/fuzz_read \
		-max_total_time=$(FUZZ_SECONDS) -max_len=65536 corpus/read $(CURDIR)/tests/fuzz/corpus/read
	cd "$(BUILD)-fuzz" && $(SANITIZER_ENV) LC_ALL=C.UTF-8 ./tests/fuzz/fuzz_launch -detect_leaks=0 \
		-max_total_time=$(FUZZ_SECONDS) -max_len=4096 corpus/launch $(CURDIR)/tests/fuzz/corpus/launch

# The load test as a soak run of SOAK_SECONDS per part.
soak: build-qt5
	cd "$(BUILD)" && SOAK_SECONDS=$(SOAK_SECONDS) ./tests/tst_load

# Every workload for our modules (Qt 5 and Qt 6) and the baselines, median of 5 runs each;
# a table on the terminal and JSON in <build>/bench.json.
bench: build-qt5 build-qt6
	@sh scripts/install-deps.sh $(BENCH_PACKAGES)
	cd "$(BUILD)" && ./bench/qmlbench --runs 5 --json bench.json --qt6 "$(BUILD6)/bench/qmlbench"

clean:
	rm -rf "$(BUILD)" "$(BUILD)-asan" "$(BUILD)-tsan" "$(BUILD)-fuzz" "$(BUILD6)" "$(BUILD6)-asan"
