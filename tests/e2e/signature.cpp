#include "signature.h"

#include <cstdint>
#include <cstdlib>
#include <iostream>

#include "harness.h"

namespace orvan::e2e {

namespace fs = std::filesystem;

namespace {

std::uint32_t U32(const std::string& b, size_t at) {
    if (at + 4 > b.size()) throw std::out_of_range("past the end");
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8 |
           static_cast<unsigned char>(b[at + 2]) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

void Zero(std::string& b, size_t at, size_t count) {
    if (at + count > b.size()) throw std::out_of_range("past the end");
    b.replace(at, count, count, '\0');
}

}  // namespace

std::string WithoutSignature(std::string program) {
    try {
        if (program.size() < 64 || program[0] != 'M' || program[1] != 'Z') return program;
        const size_t pe = U32(program, 0x3C);
        if (U32(program, pe) != 0x4550) return program;  // "PE\0\0"
        const size_t optional = pe + 24;
        const unsigned magic = U32(program, optional) & 0xFFFF;
        // PE32 or PE32+: where the data directories begin.
        const size_t directories = optional + (magic == 0x20B ? 112 : 96);
        const size_t security = directories + 4 * 8;
        const std::uint32_t table = U32(program, security);
        Zero(program, optional + 64, 4);  // the check sum
        Zero(program, security, 8);
        if (table != 0 && table <= program.size()) program.resize(table);
        // The signer pads the program with zeros to eight bytes; both sides
        // of a comparison lose their trailing zeros alike.
        while (!program.empty() && program.back() == '\0') program.pop_back();
        return program;
    } catch (const std::out_of_range&) {
        return program;
    }
}

bool SameProgram(const fs::path& a, const fs::path& b) {
    const std::optional<std::string> first = ReadFile(a);
    const std::optional<std::string> second = ReadFile(b);
    return first && second && WithoutSignature(*first) == WithoutSignature(*second);
}

std::optional<fs::path> PackagesSigner() {
    static const std::optional<fs::path> signer = [] {
        const char* named = std::getenv("ORVAN_E2E_SIGNER");
        std::optional<fs::path> found;
        if (named && *named) found = fs::path(named);
        std::cout << "e2e: "
                  << (found ? "signed packages, each signature checked against " + found->string()
                            : std::string("unsigned packages (ORVAN_E2E_SIGNER names no certificate)"))
                  << std::endl;
        return found;
    }();
    return signer;
}

::testing::AssertionResult SignedBy(const fs::path& file, const fs::path& certificate) {
    const fs::path log = Session::Get().WorkDir() / "osslsigncode.log";
    fs::remove(log);
    ProcessSpec spec;
    spec.argv = {"osslsigncode", "verify", "-CAfile", certificate.string(), "-in", file.string()};
    spec.environment = CurrentEnvironment({}, {});
    spec.output = log;
    const std::optional<int> status = RunToEnd(spec, Ms(60000));
    if (status && *status == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << file << " has no signature that verifies against " << certificate << ": "
                                         << ReadFile(log).value_or("(no report)");
}

void ExpectSignedAsThePackages(const fs::path& file) {
    if (const std::optional<fs::path> signer = PackagesSigner()) {
        EXPECT_TRUE(SignedBy(file, *signer));
    }
}

}  // namespace orvan::e2e
