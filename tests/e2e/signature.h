// Authenticode signatures of the packages under test. scripts/test.sh signs
// the release with a throwaway certificate and names it in ORVAN_E2E_SIGNER
// (a PEM file); the installed programs must then carry signatures that
// verify against it. A signed program is the build under test with a
// signature added, so programs are compared without their signatures.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace orvan::e2e {

// A Windows program's bytes with whatever signing changes taken out: no
// certificate table, its directory entry and the header's check sum zero, no
// trailing zeros (the padding before the table). Bytes that are no PE file
// come back as they are.
std::string WithoutSignature(std::string program);

// Whether two files hold the same program, signed or not.
bool SameProgram(const std::filesystem::path& a, const std::filesystem::path& b);

// The certificate the packages under test are signed with (ORVAN_E2E_SIGNER),
// or none when they are unsigned. The first call says which in the run's log.
std::optional<std::filesystem::path> PackagesSigner();

// Passes when the file carries a signature that verifies against the
// certificate (osslsigncode verify); osslsigncode's report otherwise.
::testing::AssertionResult SignedBy(const std::filesystem::path& file, const std::filesystem::path& certificate);

// The check every installed program of a signed release gets (a failure
// names the file); nothing for an unsigned release.
void ExpectSignedAsThePackages(const std::filesystem::path& file);

}  // namespace orvan::e2e
