#!/bin/sh
# Reads a ThreadSanitizer log and counts the reports in which one of the racing accesses
# is made by this project's modules (the first frame outside the sanitizer's runtime).
# Qt itself is not instrumented, so TSan also reports its internals; those are counted
# apart. Exits 1 when any report is ours.
set -eu
awk '
    /^WARNING: ThreadSanitizer/ { reports++; inReport = 1; ours = 0 }
    inReport && /^  [A-Z]/ { lookingForCaller = 1; next }
    inReport && lookingForCaller && /^    #[0-9]/ {
        if ($0 ~ /libsanitizer|libtsan/) next
        lookingForCaller = 0
        if ($0 ~ /\/(quorvel|varnah|dorvik)\/|lib(quorvel|varnah|dorvik)\.so/) ours = 1
    }
    /^SUMMARY: ThreadSanitizer/ {
        if (ours) { oursCount++; print "ours: " $0 }
        inReport = 0
    }
    END {
        printf "ThreadSanitizer: %d reports, %d from this project'"'"'s code, %d from Qt and the C library\n", reports, oursCount, reports - oursCount
        exit oursCount > 0
    }
' "$1"
