// Our settings file reader and writer against the system's own
// GetPrivateProfileStringA and WritePrivateProfileStringA, on a corpus of
// files generated here.
#pragma once

#include <string>
#include <vector>

namespace orvan::win32test {

struct AgreementReport {
    int files = 0;
    int reads = 0;  // reads compared, our reader against the system's
    int agreed = 0;
    int writes = 0;                     // writes made through both writers
    int exactReadBack = 0;              // writes whose value only ours gives back unchanged
    int systemRewrite = 0;              // writes whose file the system's rewrite changed in meaning
    std::vector<std::string> failures;  // one line each, bytes escaped
};

// Runs the whole corpus in the folder dir; leaves no file behind.
AgreementReport RunProfileAgreement(const std::string& dir);

}  // namespace orvan::win32test
