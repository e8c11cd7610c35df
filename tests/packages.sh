#!/bin/sh
# Builds the Debian packages of a build folder, unpacks them into a temporary root
# (dpkg -x, nothing is installed) and runs the QML test suite against the modules there.
# Usage: packages.sh <build folder> <package prefix> <tst_qml> <test folder>
set -eu
build=$1
prefix=$2
runner=$3
tests=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -B "$work/packages" > "$work/cpack.log") || { cat "$work/cpack.log"; exit 1; }
for module in quorvel varnah dorvik; do
    deb=$(ls "$work/packages/$prefix-${module}"_*.deb)
    echo "$(dpkg-deb -f "$deb" Package): $(dpkg-deb -f "$deb" Depends)"
    dpkg-deb -f "$deb" Depends | grep -q 'libqt[56]qml' || { echo "no dependency on Qt QML"; exit 1; }
    dpkg -x "$deb" "$work/root"
done

imports=$(dirname "$(find "$work/root" -path '*/Quorvel/qmldir')")
imports=$(dirname "$imports")
echo "modules unpacked into $imports"
for test in quorvel varnah launcher; do
    QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 "$runner" -import "$imports" \
        -input "$tests/tst_$test.qml" -silent
done
