# Sourced: the release's numbers from their one definition, src/version.h, as
# ORVAN_VERSION, ORVAN_REVISION, ORVAN_WINDOWS_MAJOR, ORVAN_WINDOWS_MINOR and
# ORVAN_WINDOWS_NAME (the oldest Windows). Fails naming any it cannot find.
orvan_version_h="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/src/version.h"
for orvan_name in ORVAN_VERSION ORVAN_REVISION ORVAN_WINDOWS_MAJOR ORVAN_WINDOWS_MINOR ORVAN_WINDOWS_NAME; do
    # The value, without the quotes of a string.
    orvan_value=$(sed -n "s/^#define $orvan_name \"\{0,1\}\([^\"]*\)\"\{0,1\}\$/\1/p" "$orvan_version_h")
    if [ -z "$orvan_value" ]; then
        echo "src/version.h: no $orvan_name definition" >&2
        return 1
    fi
    printf -v "$orvan_name" '%s' "$orvan_value"
done
unset orvan_name orvan_value
