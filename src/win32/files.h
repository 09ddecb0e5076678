// Whole-file reads, atomic replacement and writes in place on Win32.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace orvan::win32 {

std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes contents to a temporary file beside path, flushes it to disk and
// moves it over path. `failAfter` makes the write stop after that many bytes
// (to prove a write that breaks off leaves the old file alone).
platform::ReplaceOutcome ReplaceFileAtomically(const std::string& path, const std::string& contents,
                                               std::optional<std::size_t> failAfter = std::nullopt);

// Writes contents over path through one handle, cuts the file there and
// flushes it; `failAfter` as above.
platform::OverwriteOutcome OverwriteInPlace(const std::string& path, const std::string& contents,
                                            std::optional<std::size_t> failAfter = std::nullopt);

// Faults to prove what a write in place leaves when it breaks off: each
// write stops after that many bytes and fails.
struct EditFaults {
    std::optional<std::size_t> reserveBreaksAfter;
    std::optional<std::size_t> tailBreaksAfter;
};

// Carries out a planned edit in place (platform::Services::EditInPlace).
platform::OverwriteOutcome EditFileInPlace(const std::string& path, const platform::InPlaceEdit& edit,
                                           const EditFaults& faults = {});

// Deletes path; true when nothing is left by that name.
bool RemoveWholeFile(const std::string& path);

}  // namespace orvan::win32
