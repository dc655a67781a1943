#!/usr/bin/env bash
# Installs the Debian 12 packages Ambrel needs to build, test and run, when any is missing.
# With --fuzz it also brings clang 14 and its runtime, which the fuzz targets are built with.
set -euo pipefail

packages=(build-essential cmake pkg-config qt6-base-dev qt6-svg-dev libical-dev libbenchmark-dev fonts-dejavu-core
          libgl1-mesa-dev librsvg2-bin desktop-file-utils appstream shared-mime-info
          python3-icalendar python3-recurring-ical-events)
# The CalDAV servers and the independent client the publishing tests run against.
packages+=(radicale xandikos python3-caldav openssl)
# The desktop keyring that keeps calendar servers' passwords.
packages+=(qtkeychain-qt6-dev)
# POSIX access lists, which a replaced file keeps.
packages+=(libacl1-dev)
if [ "${1:-}" = "--fuzz" ]; then
    packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
