#!/usr/bin/env bash
# The MSI's copy of the administrator's preset settings file, read from its
# tables (the release's MSI, or the one named): it happens once, on a first
# installation by an administrator where no settings file exists, and never
# again on a repair, a modify or for a standard user.
#  - PRESET_SETTINGS is not a secure property, so a standard user's command
#    line cannot hand it to the installing service;
#  - MSIUSEREALADMINDETECTION is 1, so AdminUser means an administrator and
#    not anyone the AlwaysInstallElevated policy elevates;
#  - the preset's component is installed only with a preset, no settings
#    file and an administrator;
#  - the MoveFiles action runs only when the product is not yet installed
#    (a repair or a modify reinstalls the component, and would copy again);
#  - the preset's copy is the only MoveFile row.
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/version.sh
msi=${1:-build/package/orvan97-$ORVAN_VERSION-win32.msi}
[ -f "$msi" ] || { echo "msi tables: $msi is missing: build the release first (scripts/package.sh)" >&2; exit 1; }

table() { msiinfo export "$msi" "$1" | tr -d '\r' | tail -n +4; }
# The field of the row whose first field is the key.
field() { table "$1" | awk -F'\t' -v key="$2" -v n="$3" '$1 == key { print $n; exit }'; }

failed=0
expect() {
    if [ "$2" != "$3" ]; then
        echo "msi tables: $1 is '$2', not '$3'" >&2
        failed=1
    fi
}
secure=$(field Property SecureCustomProperties 2)
if [[ ";$secure;" == *";PRESET_SETTINGS;"* ]]; then
    echo "msi tables: PRESET_SETTINGS is a secure property ($secure): a standard user could pass it" >&2
    failed=1
fi
expect "MSIUSEREALADMINDETECTION" "$(field Property MSIUSEREALADMINDETECTION 2)" 1
expect "the preset's component condition" "$(field Component PresetSettings 5)" \
    "PRESET_SETTINGS AND NOT SETTINGS_IN_WINDOWS AND AdminUser"
expect "the MoveFiles action's condition" "$(field InstallExecuteSequence MoveFiles 2)" "NOT Installed"
expect "the MoveFile rows" "$(table MoveFile | cut -f1,2 | paste -sd' ')" "PresetSettings	PresetSettings"
if [ "$failed" -ne 0 ]; then
    echo "msi tables: $msi may copy the preset where it must not" >&2
    exit 1
fi
echo "msi tables: $msi copies the preset only on an administrator's first installation without a settings file"
