#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests, the release
# packages (signed with a throwaway certificate), their signatures, manifests
# and reproducibility, the end-to-end tests of the real 32-bit program, its
# installer and its MSI under Wine in a private display, and a bounded round
# of the settings file's fuzz harness (FUZZ_SECONDS).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
# The release (build/package), unsigned and signed with a throwaway
# certificate (build/test-signing), each built a second time from nothing
# and compared byte for byte, every signature verified and the manifests
# checked; the end-to-end tests then install the signed setup and MSI. The
# certificate's password reaches only the packaging.
(
    eval "$(scripts/test-certificate.sh)"
    export ORVAN_SIGN_CA=$PWD/build/test-signing/signer.pem
    tests/package/reproducible.sh
    # Where the machine cannot run 32-bit code the end-to-end tests run the
    # 64-bit build, and install the same installers built around it.
    if [ "$(. scripts/wine-env.sh 2>/dev/null; echo "$ORVAN_ARCH")" = win64 ]; then
        scripts/package.sh --arch win64
    fi
)
export ORVAN_E2E_SIGNER=$PWD/build/test-signing/signer.pem
ctest --test-dir build/native --output-on-failure --timeout 3600
# What each end-to-end run tested: the program, the Wine, the installers and
# whether they were signed.
sed -n -E 's/^[0-9]+\/[0-9]+ Test: (e2e.*)/\1:/p; s/^(e2e: (testing|installing|signed|unsigned) .*)/    \1/p' \
    build/native/Testing/Temporary/LastTest.log
# The unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
cmake --preset asan >/dev/null
cmake --build --preset asan -j "${JOBS:-$(nproc)}"
build/asan/unit_tests
scripts/fuzz.sh
