# Front door: make deps | make | make demo | make test | make install
BUILD_DIR ?= build
BUILD := $(abspath $(BUILD_DIR))
JOBS ?= $(shell nproc)
QML_RUNTIME ?= /usr/lib/qt5/bin/qml

DEB_PACKAGES := cmake make g++ binutils \
	qtbase5-dev qtdeclarative5-dev \
	qml qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qttest

.PHONY: all deps build demo test install clean

all: build

deps:
	@sh scripts/install-deps.sh $(DEB_PACKAGES)

build: deps
	@[ -f "$(BUILD)/CMakeCache.txt" ] || cmake -S . -B "$(BUILD)"
	cmake --build "$(BUILD)" --parallel $(JOBS)

# Qt 5.15's runtime ends every document without a window with status 2, so the demo's
# root is an Item, shown on the offscreen platform.
demo: build
	cd "$(BUILD)" && QT_QPA_PLATFORM=offscreen "$(QML_RUNTIME)" -I qml "$(CURDIR)/examples/demo.qml"

test: build
	cd "$(BUILD)" && ctest --output-on-failure

# DESTDIR is honoured: make install DESTDIR=/tmp/stage
install: build
	DESTDIR="$(DESTDIR)" cmake --install "$(BUILD)"

clean:
	rm -rf "$(BUILD)"
