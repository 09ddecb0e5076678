// The platform services on Win32.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace orvan::win32 {

// The system's own conversions: MultiByteToWideChar and WideCharToMultiByte
// with CP_ACP or CP_UTF8 and no flags.
class Win32TextCodec : public platform::TextCodec {
public:
    std::u16string AnsiToWide(std::string_view ansi) const override;
    std::string WideToAnsi(std::u16string_view wide) const override;
    std::u16string Utf8ToWide(std::string_view utf8) const override;
    std::string WideToUtf8(std::u16string_view wide) const override;
};

class Win32Services : public platform::Services {
public:
    // Message boxes and the Open-file dialog are owned by this window.
    void SetOwner(HWND owner) { owner_ = owner; }

    platform::PathKind Classify(const std::string& path) override;
    std::string SystemFolder() override;
    std::string WindowsFolder() override;
    std::string ProgramFolder() override;
    std::string CurrentFolder() override;
    std::optional<std::string> EnvironmentVariable(const std::string& name) override;
    void ShowMessage(const std::string& text, const std::string& title, platform::MessageIcon icon) override;
    void ShowMessageUtf8(const std::string& text, const std::string& title, platform::MessageIcon icon) override;
    std::optional<platform::ChosenFile> OpenFileDialog(const platform::OpenFileSpec& spec) override;
    std::optional<std::string> ReadFile(const std::string& path) override;
    platform::ReplaceOutcome ReplaceFile(const std::string& path, const std::string& contents) override;
    platform::OverwriteOutcome OverwriteFile(const std::string& path, const std::string& contents) override;
    platform::OverwriteOutcome EditInPlace(const std::string& path, const platform::InPlaceEdit& edit) override;
    bool RemoveFile(const std::string& path) override;
    const platform::TextCodec& Text() override { return codec_; }
    platform::SessionClaim ClaimSession() override;
    void ShowRunningConsole() override;
    void EndProcess() override;

protected:
    platform::StartResult Start(const platform::StartRequest& request) override;
    platform::StartResult Open(const std::string& path, int showCode, const std::string& directory) override;

private:
    HWND owner_ = nullptr;
    Win32TextCodec codec_;
    HANDLE session_ = nullptr;  // held until the process ends
};

// The forms of a chosen path the settings file can hold: its exact ANSI
// text, and its short path when that is pure ANSI and names the same file.
platform::ChosenFile DescribeChosenFile(const std::wstring& path);

// UTF-16 from a code page's text (CP_ACP, CP_UTF8), and UTF-8 from UTF-16:
// the conversions of Win32TextCodec, for the system's wide functions.
std::wstring Widen(std::string_view text, UINT codePage);
std::string Utf8(std::wstring_view text);

// The system's text for an error code, without the trailing line break.
std::string SystemMessage(DWORD error);

}  // namespace orvan::win32
