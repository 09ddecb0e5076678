#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (also under
# AddressSanitizer and UndefinedBehaviorSanitizer), the release packages
# (signed with a throwaway certificate), their signatures, manifests and
# reproducibility, the end-to-end tests of the real program, its installer
# and its MSI under Wine in a private display, and a bounded round of the
# settings file's fuzz harness (FUZZ_SECONDS). Ends with each stage's time.
#
# What can go side by side does, on two cores: the emulated 32-bit subset's
# prefix (where the machine has no 32-bit mode) is booted while the Windows
# programs build, and the sanitizers and the fuzzing run while the other
# CTest tests do. The subset itself runs alone: under qemu-i386 its every
# step is many times slower, and the other work would stretch it further.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export ORVAN_DEPS_CHECKED=1
. scripts/stages.sh
# .ci/run starts the table itself; a run of this script alone starts anew.
[ -n "${ORVAN_STAGES_OPEN:-}" ] || : >"$ORVAN_STAGE_TIMES"
trap stage_stop_all EXIT

stage "build: native" scripts/build.sh native
# Each line of the subset's filter names a test (a second).
stage "wow64 filter" ctest --test-dir build/native -R '^wow64_filter$' --output-on-failure
# The 32-bit subset's prefix: booted now, kept, and copied when the tests start.
stage_start "e2e_wow64 prefix" ctest --test-dir build/native -R '^e2e_wow64_prefix$' --output-on-failure
stage "build: Windows" scripts/build.sh win32 win64
# The release is signed with a throwaway certificate (build/test-signing);
# its password reaches only the packaging, and the end-to-end tests install
# the signed setup and MSI and check the installed programs' signatures.
stage "test certificate" scripts/test-certificate.sh >/dev/null
signed() {
    (
        export ORVAN_SIGN_PKCS12=$PWD/build/test-signing/signer.p12
        ORVAN_SIGN_PASSWORD=$(cat build/test-signing/password)
        export ORVAN_SIGN_PASSWORD ORVAN_SIGN_CA=$PWD/build/test-signing/signer.pem
        "$@"
    )
}
export ORVAN_E2E_SIGNER=$PWD/build/test-signing/signer.pem
# The release (build/package), unsigned and signed, each built a second time
# from nothing and compared byte for byte, every signature verified and the
# manifests checked.
stage "release, twice" signed tests/package/reproducible.sh
# The shipped program's header and imports against their review.
stage "imports" tests/package/imports.sh
# Its manifest: DPI aware, and no execution level or common controls 6.
stage "app manifest" tests/package/app_manifest.py
# The MSI copies the administrator's preset only where and when it should.
stage "msi tables" tests/package/msi_tables.sh
# Where the machine cannot run 32-bit code the end-to-end tests run the
# 64-bit build, and install the same installers built around it.
if [ "$(. scripts/wine-env.sh 2>/dev/null; echo "$ORVAN_ARCH")" = win64 ]; then
    stage "package: win64" signed scripts/package.sh --arch win64
fi
stage_wait "e2e_wow64 prefix"
last_test=build/native/Testing/Temporary/LastTest.log
stage "e2e_wow64" ctest --test-dir build/native -R '^e2e_wow64$' --output-on-failure --timeout 3600
cp "$last_test" build/native/Testing/Temporary/LastTest-wow64.log
# Every other CTest test, two at a time: the unit tests and the end-to-end run.
stage_start ctest ctest --test-dir build/native -E '^(e2e_wow64|wow64_filter)' --output-on-failure --timeout 3600 -j 2
# The unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
asan() {
    cmake --preset asan >/dev/null
    cmake --build --preset asan -j "${JOBS:-$(nproc)}"
    build/asan/unit_tests
}
stage "unit tests: sanitizers" asan
stage "fuzz" scripts/fuzz.sh
stage_wait ctest
# What each end-to-end run tested: the program, the Wine, the installers and
# whether they were signed.
sed -n -E 's/^[0-9]+\/[0-9]+ Test: (e2e.*)/\1:/p; s/^(e2e: (testing|installing|signed|unsigned) .*)/    \1/p' \
    build/native/Testing/Temporary/LastTest-wow64.log "$last_test"
[ -n "${ORVAN_STAGES_OPEN:-}" ] || stage_times
