// An in-memory platform for the unit tests: files live in a map, every start,
// message box and dialog is recorded, and each service can be scripted.
#pragma once

#include <algorithm>
#include <cctype>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_codec.h"
#include "platform/platform.h"

namespace orvan::testing {

struct ShownMessage {
    std::string text;
    std::string title;
    platform::MessageIcon icon;
    bool utf8 = false;  // shown through ShowMessageUtf8
};

// What the Open-file dialog yields: a plain path is one the ANSI code page
// holds exactly, with no short form.
struct DialogAnswer : platform::ChosenFile {
    DialogAnswer(const char* ansi) : DialogAnswer(std::string(ansi)) {}
    DialogAnswer(const std::string& ansi) : platform::ChosenFile{ansi, ansi, std::nullopt} {}
    DialogAnswer(platform::ChosenFile chosen) : platform::ChosenFile(std::move(chosen)) {}
};

struct OpenedDocument {
    std::string path;
    int showCode;
    std::string directory;
};

class FakePlatform : public platform::Services {
public:
    // ---- files
    std::map<std::string, std::string> files;
    bool failReplace = false;  // nothing can be written: every write is refused, every file untouched
    // When not Replaced, every ReplaceFile gives this and changes nothing.
    platform::ReplaceOutcome replaceOutcome = platform::ReplaceOutcome::Replaced;
    bool refuseNewFiles = false;  // the folder takes no new file: OverwriteFile refuses a missing one
    // OverwriteFile of the path writes this many bytes over the old ones, then breaks off.
    std::map<std::string, std::size_t> overwriteBreaksAfter;
    std::set<std::string> undeletable;  // RemoveFile refuses these
    // A full disk: a write may add at most this many bytes to a file (a new
    // file starts at none), so ReplaceFile's temporary file breaks off, as
    // does an OverwriteFile that grows a file further, and EditInPlace
    // refuses a reserve larger than this.
    std::optional<std::size_t> roomOnDisk;
    int replaceCalls = 0;
    int overwriteCalls = 0;
    std::vector<platform::InPlaceEdit> edits;  // every EditInPlace asked for
    int readCalls = 0;

    // ---- programs
    std::vector<platform::StartRequest> starts;
    std::vector<OpenedDocument> documents;
    bool failStart = false;
    std::string startError = "The system cannot find the file specified.";
    std::map<std::string, platform::PathKind> paths;  // Classify answers
    // The system's folders, holding the built-in tasks' programs where
    // 64-bit Windows keeps them.
    std::string systemFolder = "C:\\WINDOWS\\system32";
    std::string windowsFolder = "C:\\WINDOWS";
    // Where the console was unpacked, which is also its current folder.
    std::string programFolder = "C:\\Users\\Ann\\Downloads\\Orvan97";
    std::string currentFolder = programFolder;
    std::map<std::string, std::string> environment;  // names as the test writes them

    // ---- dialogs
    std::vector<ShownMessage> messages;
    std::vector<platform::OpenFileSpec> dialogs;
    std::deque<DialogAnswer> dialogAnswers;  // empty: the user cancels

    // ---- process
    platform::SessionClaim session = platform::SessionClaim::Ours;
    int claimCalls = 0;
    int showRunningCalls = 0;
    int endProcessCalls = 0;

    FakePlatform() {
        for (const char* program : {"control.exe", "notepad.exe", "winver.exe", "write.exe"})
            paths[systemFolder + "\\" + program] = platform::PathKind::File;
        for (const char* program : {"explorer.exe", "notepad.exe", "winhlp32.exe", "write.exe"})
            paths[windowsFolder + "\\" + program] = platform::PathKind::File;
    }

    platform::PathKind Classify(const std::string& path) override {
        auto it = paths.find(path);
        return it == paths.end() ? platform::PathKind::Missing : it->second;
    }

    std::string SystemFolder() override { return systemFolder; }
    std::string WindowsFolder() override { return windowsFolder; }
    std::string ProgramFolder() override { return programFolder; }
    std::string CurrentFolder() override { return currentFolder; }
    std::optional<std::string> EnvironmentVariable(const std::string& name) override {
        for (const auto& [key, value] : environment)
            if (platform::EqualsIgnoringAsciiCase(key, name)) return value;
        return std::nullopt;
    }

    void ShowMessage(const std::string& text, const std::string& title, platform::MessageIcon icon) override {
        messages.push_back({text, title, icon, false});
    }

    void ShowMessageUtf8(const std::string& text, const std::string& title, platform::MessageIcon icon) override {
        messages.push_back({text, title, icon, true});
    }

    std::optional<platform::ChosenFile> OpenFileDialog(const platform::OpenFileSpec& spec) override {
        dialogs.push_back(spec);
        if (dialogAnswers.empty()) return std::nullopt;
        platform::ChosenFile answer = dialogAnswers.front();
        dialogAnswers.pop_front();
        return answer;
    }

    std::optional<std::string> ReadFile(const std::string& path) override {
        ++readCalls;
        auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second;
    }

    platform::ReplaceOutcome ReplaceFile(const std::string& path, const std::string& contents) override {
        ++replaceCalls;
        if (failReplace) return platform::ReplaceOutcome::TempRefused;
        if (replaceOutcome != platform::ReplaceOutcome::Replaced) return replaceOutcome;
        if (roomOnDisk && contents.size() > *roomOnDisk) return platform::ReplaceOutcome::WriteFailed;
        files[path] = contents;
        return platform::ReplaceOutcome::Replaced;
    }

    platform::OverwriteOutcome OverwriteFile(const std::string& path, const std::string& contents) override {
        ++overwriteCalls;
        auto it = files.find(path);
        if (failReplace || (refuseNewFiles && it == files.end())) return platform::OverwriteOutcome::Untouched;
        std::string& file = files[path];
        auto cut = overwriteBreaksAfter.find(path);
        if (roomOnDisk && contents.size() > file.size() + *roomOnDisk) {
            file = contents.substr(0, file.size() + *roomOnDisk);
            return platform::OverwriteOutcome::Broken;
        }
        if (cut != overwriteBreaksAfter.end() && cut->second < contents.size()) {
            file.replace(0, std::min(cut->second, file.size()), contents.substr(0, cut->second));
            return platform::OverwriteOutcome::Broken;
        }
        file = contents;
        return platform::OverwriteOutcome::Written;
    }

    platform::OverwriteOutcome EditInPlace(const std::string& path, const platform::InPlaceEdit& edit) override {
        edits.push_back(edit);
        auto it = files.find(path);
        if (failReplace || it == files.end() || it->second != edit.expected)
            return platform::OverwriteOutcome::Untouched;
        if (roomOnDisk && edit.reserve.size() > *roomOnDisk) return platform::OverwriteOutcome::Untouched;
        std::string file = it->second + edit.reserve;
        if (file.size() < edit.offset + edit.tail.size()) file.resize(edit.offset + edit.tail.size());
        file.replace(edit.offset, edit.tail.size(), edit.tail);
        file.resize(edit.length);
        it->second = file;
        return platform::OverwriteOutcome::Written;
    }

    bool RemoveFile(const std::string& path) override {
        if (undeletable.count(path)) return false;
        files.erase(path);
        return true;
    }

    const platform::TextCodec& Text() override { return codec; }

    platform::SessionClaim ClaimSession() override {
        ++claimCalls;
        return session;
    }

    void ShowRunningConsole() override { ++showRunningCalls; }

    void EndProcess() override { ++endProcessCalls; }

    FakeCodec codec;

protected:
    platform::StartResult Start(const platform::StartRequest& request) override {
        if (failStart) return {false, 0, startError};
        starts.push_back(request);
        return {true, static_cast<std::uint32_t>(1000 + starts.size()), {}};
    }

    platform::StartResult Open(const std::string& path, int showCode, const std::string& directory) override {
        if (failStart) return {false, 0, startError};
        documents.push_back({path, showCode, directory});
        return {true, 0, {}};
    }
};

}  // namespace orvan::testing
