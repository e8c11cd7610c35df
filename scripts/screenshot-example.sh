#!/bin/sh
# Renders the example application headless (offscreen platform, software renderer), lets
# it run a few steps through the three modules, and saves a picture of its window.
# Usage: screenshot-example.sh <import tree> <main.qml> <picture.png>
set -eu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
CONSOLE_SCREENSHOT=$3 QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software \
    timeout 60 /usr/lib/qt5/bin/qml -I "$1" "$2"
[ -s "$3" ] || { echo "no picture was saved" >&2; exit 1; }
echo "saved $3"
