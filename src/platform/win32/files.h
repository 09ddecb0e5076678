// Whole-file reads and atomic replacement on Win32.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace orvan::win32 {

std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes contents to a temporary file beside path, flushes it to disk and
// moves it over path. `failAfter` makes the write stop after that many bytes
// (to prove a write that breaks off leaves the old file alone).
bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           std::optional<std::size_t> failAfter = std::nullopt);

}  // namespace orvan::win32
