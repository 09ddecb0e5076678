#!/usr/bin/env bash
# Builds the Orvan 97 MSI from staged files, reproducibly:
#
#   packaging/msi.sh --arch win32|win64 --stage DIR --icon FILE \
#                    --version 1.01.3 --epoch SECONDS --out FILE.msi
#
# Debian's wixl builds packaging/orvan97.wxs; msitools' msibuild adds what
# wixl cannot say (packaging/msi/*.idt: the search for an existing
# C:\Windows\Orvan97.ini and the copy of the administrator's preset, with its
# conditions, and the properties a per-machine install must pass on); packaging/msi_summary.py sets the summary's times to EPOCH and its
# package code to one derived from the content. The product code is derived
# from the version and the architecture, so each release has its own and
# replaces an older one in place (the upgrade code never changes).
# scripts/package.sh calls this; the tests call it for an earlier version.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

arch="" stage="" icon="" version="" epoch="" out=""
while [ $# -gt 0 ]; do
    case $1 in
        --arch) arch=$2; shift 2 ;;
        --stage) stage=$2; shift 2 ;;
        --icon) icon=$2; shift 2 ;;
        --version) version=$2; shift 2 ;;
        --epoch) epoch=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        *) echo "msi.sh: unknown argument $1 (see the head of this script)" >&2; exit 2 ;;
    esac
done
case $arch in
    win32) wixl_arch=x86 ;;
    win64) wixl_arch=x64 ;;
    *) echo "msi.sh: --arch must be win32 or win64, not '$arch'" >&2; exit 2 ;;
esac
if [ -z "$stage" ] || [ -z "$icon" ] || [ -z "$out" ]; then
    echo "msi.sh: --stage, --icon and --out are needed" >&2
    exit 2
fi
if ! [[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
    echo "msi.sh: --version must be major.minor.revision, not '$version'" >&2
    exit 2
fi
if ! [[ $epoch =~ ^[0-9]+$ ]]; then
    echo "msi.sh: --epoch must be seconds since 1970, not '$epoch'" >&2
    exit 2
fi
for f in orvan97.exe LICENSE.txt README.txt; do
    [ -f "$stage/$f" ] || { echo "msi.sh: $stage/$f is missing" >&2; exit 1; }
done

product_code=$(python3 -c 'import sys, uuid
print(str(uuid.uuid5(uuid.UUID("5726ad46-9dd5-4f71-8128-3855a7e0c7c6"), "product " + sys.argv[1] + " " + sys.argv[2])).upper())' \
    "$arch" "$version")

# The oldest Windows the program runs on, from its one definition.
. "$here/../scripts/version.sh"

out=$(realpath -m "$out")
icon=$(realpath "$icon")
rm -f "$out"
# wixl finds sources only by relative paths: it runs in the staged folder.
# It reads the files' times into the cabinet: they carry the release's.
(cd "$stage" && wixl -a "$wixl_arch" -D ARCH="$arch" -D STAGE=. -D ICON="$(realpath --relative-to=. "$icon")" \
    -D VERSION="$version" -D PRODUCT_CODE="$product_code" -D WINDOWS_NAME="$ORVAN_WINDOWS_NAME" \
    -D WINDOWS_NT=$((ORVAN_WINDOWS_MAJOR * 100 + ORVAN_WINDOWS_MINOR)) -o "$out" "$here/orvan97.wxs")

# The administrator's preset goes in once: on a first installation (a major
# upgrade is one) by an administrator, only where no settings file exists.
# A repair or a modify reinstalls the component and would run the copy
# again, so the copy runs only while the product is not installed; the
# preset's name is no secure property, so a standard user's elevated
# install cannot pass one, and AdminUser means a real administrator
# (MSIUSEREALADMINDETECTION), not one the AlwaysInstallElevated policy
# elevates. The search's answer reaches the installing service.
(cd "$here/msi" && msibuild "$out" -i AppSearch.idt Signature.idt DrLocator.idt MoveFile.idt \
    -q "UPDATE \`Component\` SET \`Condition\` = 'PRESET_SETTINGS AND NOT SETTINGS_IN_WINDOWS AND AdminUser' WHERE \`Component\` = 'PresetSettings'" \
    -q "UPDATE \`InstallExecuteSequence\` SET \`Condition\` = 'NOT Installed' WHERE \`Action\` = 'MoveFiles'" \
    -q "INSERT INTO \`Property\` (\`Property\`, \`Value\`) VALUES ('MSIUSEREALADMINDETECTION', '1')" \
    -q "UPDATE \`Property\` SET \`Value\` = 'SETTINGS_IN_WINDOWS;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED' WHERE \`Property\` = 'SecureCustomProperties'")

python3 "$here/msi_summary.py" "$out" "$epoch" >/dev/null
