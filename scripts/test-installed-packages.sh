#!/bin/sh
# Installs the Qt 5 packages of a build folder with dpkg -i, runs the demo with Qt's stock
# runtime and no import path at all, and removes the packages again, also when the run
# fails. Refuses to touch a system that has any of them installed already.
# Usage: test-installed-packages.sh <build folder> <demo.qml>
set -eu
build=$1
demo=$2
packages="qml-module-quorvel qml-module-varnah qml-module-dorvik"
for package in $packages; do
    if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        echo "$package is installed on this system already; not touching it" >&2
        exit 1
    fi
done
work=$(mktemp -d)
trap 'dpkg -r $packages > /dev/null 2>&1 || true; rm -rf "$work"' EXIT
(cd "$build" && cpack -B "$work/packages" > "$work/cpack.log")
dpkg -i "$work"/packages/qml-module-*.deb
cd "$work"
env -u QML2_IMPORT_PATH -u QML_IMPORT_PATH QT_QPA_PLATFORM=offscreen /usr/lib/qt5/bin/qml "$demo" \
    > "$work/demo.log" 2>&1 || { cat "$work/demo.log"; exit 1; }
cat "$work/demo.log"
for section in Quorvel Varnah Launcher; do
    grep -q "^qml: $section:" "$work/demo.log" || { echo "the demo did not show $section"; exit 1; }
done
echo "installed packages: the demo ran with no import path"
