#!/bin/sh
# Installs the Debian packages given as arguments that are not installed yet.
set -eu

missing=""
for package in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing="$missing $package"
done
[ -n "$missing" ] || exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "make deps: these Debian packages are missing:$missing" >&2
    echo "make deps: installing them needs root; run 'sudo make deps', or install them with apt-get." >&2
    exit 1
fi
echo "make deps: installing$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
# shellcheck disable=SC2086
apt-get install -y -q --no-install-recommends $missing
