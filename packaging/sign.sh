#!/usr/bin/env bash
# Authenticode-signs one file in place with osslsigncode (SHA-256): a Windows
# program or an MSI. scripts/package.sh runs it on orvan97.exe and the MSI,
# and makensis on the uninstaller (!uninstfinalize) and Setup (!finalize).
#
#   ORVAN_SIGN_PKCS12     the certificate and its key (PKCS#12)
#   ORVAN_SIGN_PASSFILE   a file holding its password: the password is never
#                         on a command line (package.sh writes this file)
#   ORVAN_SIGN_TIME       the signing time, seconds since 1970: the release's
#                         time, so the same sources and certificate give the
#                         same bytes
#   ORVAN_SIGN_TSA        optional: an RFC 3161 time-stamping service's URL;
#                         the signature then carries its timestamp instead
#                         (needs the network, and is no longer reproducible)
set -euo pipefail
file=${1:?usage: sign.sh FILE}
: "${ORVAN_SIGN_PKCS12:?sign.sh: ORVAN_SIGN_PKCS12 names no certificate}"
: "${ORVAN_SIGN_PASSFILE:?sign.sh: ORVAN_SIGN_PASSFILE names no password file}"

if [ -n "${ORVAN_SIGN_TSA:-}" ]; then
    when=(-ts "$ORVAN_SIGN_TSA")
else
    when=(-time "${ORVAN_SIGN_TIME:?sign.sh: ORVAN_SIGN_TIME is not set}")
fi
rm -f "$file.signed"
if ! osslsigncode sign -pkcs12 "$ORVAN_SIGN_PKCS12" -readpass "$ORVAN_SIGN_PASSFILE" -h sha256 \
    -n "Orvan 97" "${when[@]}" -in "$file" -out "$file.signed" >"$file.sign-log" 2>&1; then
    cat "$file.sign-log" >&2
    rm -f "$file.signed" "$file.sign-log"
    echo "sign.sh: could not sign $file" >&2
    exit 1
fi
rm -f "$file.sign-log"
mv "$file.signed" "$file"
