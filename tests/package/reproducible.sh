#!/usr/bin/env bash
# Reproducibility of the release, unsigned and signed: runs scripts/package.sh
# as usual (from build/win32) and once more from nothing in another folder
# (build/repro), each time unsigned and then signed with one certificate, and
# compares the two builds byte for byte: the program, the zip, the setup, the
# MSI, SHA256SUMS and the manifests. The program is built twice in all; the
# signed packages reuse each build.
#
# The certificate is ORVAN_SIGN_PKCS12 (with ORVAN_SIGN_PASSWORD) when set,
# else a throwaway one (scripts/test-certificate.sh). Every signature is
# checked with osslsigncode verify against ORVAN_SIGN_CA (a PEM file; the
# throwaway certificate itself by default). The manifests are checked against
# their schemas and the files (tests/package/check_manifests.py).
#
# build/package ends up holding the signed release, which the end-to-end
# tests install; build/package-unsigned the unsigned one.
set -euo pipefail
cd "$(dirname "$0")/../.."

if [ -z "${ORVAN_SIGN_PKCS12:-}" ]; then
    eval "$(scripts/test-certificate.sh)"
    export ORVAN_SIGN_CA=$PWD/build/test-signing/signer.pem
fi
: "${ORVAN_SIGN_CA:?set ORVAN_SIGN_CA to the PEM certificate that verifies ORVAN_SIGN_PKCS12}"
# The manifests' addresses, for the check only: a name reserved never to resolve.
export ORVAN_RELEASE_URL=${ORVAN_RELEASE_URL:-https://release.example.invalid/orvan97}

unsigned() { env -u ORVAN_SIGN_PKCS12 -u ORVAN_SIGN_PASSWORD scripts/package.sh "$@"; }
unsigned --out build/package-unsigned
rm -rf build/repro
unsigned --build-dir build/repro/win32 --out build/repro/package-unsigned
scripts/package.sh
scripts/package.sh --build-dir build/repro/win32 --out build/repro/package

. scripts/version.sh
version=$ORVAN_VERSION
failed=0
compare() {
    if cmp -s "$1" "$2"; then
        echo "same bytes: $1 and $2"
    else
        echo "DIFFERENT: $1 and $2" >&2
        failed=1
    fi
}
compare build/win32/orvan97.exe build/repro/win32/orvan97.exe
for kind in package-unsigned package; do
    for f in "orvan97-$version-win32.zip" "orvan97-$version-win32-setup.exe" "orvan97-$version-win32.msi" \
        SHA256SUMS winget/Orvan97.Orvan97.installer.yaml scoop/orvan97.json; do
        compare "build/$kind/$f" "build/repro/$kind/$f"
    done
done

# Each signature holds, the program's inside the zip included; and unsigned
# is unsigned.
verify() {
    if osslsigncode verify -CAfile "$ORVAN_SIGN_CA" -in "$1" >build/repro/verify.log 2>&1; then
        echo "signed and verified: $1 ($(sed -n 's/^[[:space:]]*Subject: //p' build/repro/verify.log | head -1))"
    else
        cat build/repro/verify.log >&2
        echo "SIGNATURE DOES NOT VERIFY: $1" >&2
        failed=1
    fi
}
mkdir -p build/repro/unpacked
unzip -q -o "build/package/orvan97-$version-win32.zip" orvan97.exe -d build/repro/unpacked
verify build/repro/unpacked/orvan97.exe
verify "build/package/orvan97-$version-win32-setup.exe"
verify "build/package/orvan97-$version-win32.msi"
for f in "orvan97-$version-win32-setup.exe" "orvan97-$version-win32.msi"; do
    if osslsigncode verify -CAfile "$ORVAN_SIGN_CA" -in "build/package-unsigned/$f" >/dev/null 2>&1; then
        echo "SIGNED, though packaged without a certificate: build/package-unsigned/$f" >&2
        failed=1
    fi
done

(cd build/package && sha256sum --check --quiet SHA256SUMS) || failed=1
python3 tests/package/check_manifests.py build/package || failed=1

if [ "$failed" -ne 0 ]; then
    echo "The release is not reproducible or not as signed; the second build stays in build/repro." >&2
    exit 1
fi
rm -rf build/repro
echo "Reproducible: two builds of the release gave the same bytes, unsigned and signed."
