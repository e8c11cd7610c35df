#!/bin/sh
# qmllint over every QML file of the project: nothing may be reported about our modules.
# Usage: qmllint-modules.sh <qmllint> <import tree> <source folder>
set -eu
qmllint=$1
imports=$2
cd "$3"
files=$(find tests examples -name '*.qml' | sort)
# shellcheck disable=SC2086
report=$("$qmllint" -I "$imports" $files 2>&1 || true)
about_ours=$(printf '%s\n' "$report" | grep -E '^(Warning|Info|Error)' |
    grep -E 'Quorvel|Varnah|Dorvik|Launcher|plugins\.qmltypes' || true)
echo "qmllint: $(printf '%s\n' "$files" | wc -l) files, $(printf '%s\n' "$report" |
    grep -cE '^(Warning|Info|Error)') reports, none may be about our modules"
if [ -n "$about_ours" ]; then
    printf '%s\n' "$about_ours"
    exit 1
fi
