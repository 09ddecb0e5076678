#!/usr/bin/env bash
# Makes a throwaway code-signing certificate for the tests, in DIR (default
# build/test-signing): signer.p12 (the certificate and its key, PKCS#12),
# password (its password, random, readable by this user only) and signer.pem
# (the certificate alone, which `osslsigncode verify -CAfile` trusts). Not
# for a release: it is self-signed and made anew on every run.
#
#   eval "$(scripts/test-certificate.sh)"   # sets ORVAN_SIGN_PKCS12 and
#                                           # ORVAN_SIGN_PASSWORD for package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$(realpath -m "${1:-build/test-signing}")
rm -rf "$dir"
mkdir -p "$dir"
chmod 700 "$dir"
umask 077
openssl rand -hex 24 > "$dir/password"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$dir/signer.key" -out "$dir/signer.pem" -days 30 \
    -subj "/CN=Orvan 97 test signer (throwaway)" -addext "extendedKeyUsage=codeSigning" \
    -addext "keyUsage=critical,digitalSignature" 2>/dev/null
openssl pkcs12 -export -inkey "$dir/signer.key" -in "$dir/signer.pem" -out "$dir/signer.p12" \
    -passout "file:$dir/password"
rm -f "$dir/signer.key"
# The password is read from its file where it is used, never echoed.
printf 'export ORVAN_SIGN_PKCS12=%q ORVAN_SIGN_PASSWORD="$(cat %q)"\n' "$dir/signer.p12" "$dir/password"
