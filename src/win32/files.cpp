#include "win32/files.h"

#include <windows.h>

#include <algorithm>

#include "platform/platform.h"

namespace orvan::win32 {

namespace {

bool WriteAll(HANDLE file, const std::string& contents, std::optional<std::size_t> failAfter) {
    std::size_t limit = failAfter ? std::min(*failAfter, contents.size()) : contents.size();
    std::size_t done = 0;
    while (done < limit) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(limit - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file, contents.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return !failAfter || done == contents.size();
}

std::optional<std::string> ReadAll(HANDLE file) {
    std::string contents;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) != 0 && size.QuadPart >= 0 && size.QuadPart < (1LL << 31);
    if (ok) {
        contents.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t done = 0;
        while (ok && done < contents.size()) {
            DWORD got = 0;
            DWORD want = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1 << 20));
            ok = ::ReadFile(file, contents.data() + done, want, &got, nullptr) != 0 && got > 0;
            done += got;
        }
    }
    if (!ok) return std::nullopt;
    return contents;
}

bool Seek(HANDLE file, std::size_t offset) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) != 0;
}

bool WriteAt(HANDLE file, std::size_t offset, const std::string& bytes, std::optional<std::size_t> failAfter) {
    return Seek(file, offset) && WriteAll(file, bytes, failAfter) && FlushFileBuffers(file);
}

bool CutAt(HANDLE file, std::size_t length) {
    return Seek(file, length) && SetEndOfFile(file) && FlushFileBuffers(file);
}

// The steps of an edit on an open file that holds edit.expected.
platform::OverwriteOutcome ApplyEdit(HANDLE file, const platform::InPlaceEdit& edit, const EditFaults& faults) {
    using platform::OverwriteOutcome;
    const std::size_t oldLength = edit.expected.size();
    if (!edit.reserve.empty() && !WriteAt(file, oldLength, edit.reserve, faults.reserveBreaksAfter))
        return CutAt(file, oldLength) ? OverwriteOutcome::Untouched : OverwriteOutcome::Broken;
    // The one write during which a cut could tear the file.
    if (!WriteAt(file, edit.offset, edit.tail, faults.tailBreaksAfter)) {
        const bool restored =
            WriteAt(file, edit.offset, edit.expected.substr(edit.offset), std::nullopt) && CutAt(file, oldLength);
        return restored ? OverwriteOutcome::Untouched : OverwriteOutcome::Broken;
    }
    const std::size_t end = std::max(oldLength + edit.reserve.size(), edit.offset + edit.tail.size());
    if (edit.length < end && !CutAt(file, edit.length)) return OverwriteOutcome::Broken;
    return OverwriteOutcome::Written;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> contents = ReadAll(file);
    CloseHandle(file);
    return contents;
}

platform::ReplaceOutcome ReplaceFileAtomically(const std::string& path, const std::string& contents,
                                               std::optional<std::size_t> failAfter) {
    using platform::ReplaceOutcome;
    char temp[MAX_PATH + 1] = {};
    const std::string folder = platform::FolderOf(path);
    if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "orv", 0, temp)) return ReplaceOutcome::TempRefused;
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileA(temp);
        return ReplaceOutcome::TempRefused;
    }
    bool ok = WriteAll(file, contents, failAfter) && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    ReplaceOutcome outcome = ReplaceOutcome::WriteFailed;
    if (ok) {
        outcome = MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                      ? ReplaceOutcome::Replaced
                      : ReplaceOutcome::MoveRefused;
    }
    if (outcome != ReplaceOutcome::Replaced) DeleteFileA(temp);
    return outcome;
}

platform::OverwriteOutcome OverwriteInPlace(const std::string& path, const std::string& contents,
                                            std::optional<std::size_t> failAfter) {
    using platform::OverwriteOutcome;
    // Others may go on reading and writing it; we only need to write.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return OverwriteOutcome::Untouched;
    bool ok = WriteAll(file, contents, failAfter) && SetEndOfFile(file) && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    return ok ? OverwriteOutcome::Written : OverwriteOutcome::Broken;
}

platform::OverwriteOutcome EditFileInPlace(const std::string& path, const platform::InPlaceEdit& edit,
                                           const EditFaults& faults) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return platform::OverwriteOutcome::Untouched;
    // The edit is made for the bytes that were read; it must not land on others.
    const std::optional<std::string> now = ReadAll(file);
    const platform::OverwriteOutcome outcome =
        now == edit.expected ? ApplyEdit(file, edit, faults) : platform::OverwriteOutcome::Untouched;
    CloseHandle(file);
    return outcome;
}

bool RemoveWholeFile(const std::string& path) {
    if (DeleteFileA(path.c_str())) return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace orvan::win32
