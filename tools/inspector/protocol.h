// The inspector's line protocol (described at the top of main.cpp):
// parsing requests, building records, writing replies.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace inspector {

using Args = std::vector<std::string>;

// A command that cannot be carried out; its text becomes the error reply.
class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Decimal, or hex with a 0x prefix; anything else is a CommandError.
std::uint64_t ParseNumber(const std::string& text);

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);

inline std::uint64_t Handle(HWND hwnd) { return static_cast<std::uint64_t>(reinterpret_cast<UINT_PTR>(hwnd)); }

// One reply line of key=value fields.
class Record {
public:
    Record& Add(const char* key, const std::string& value);
    Record& Add(const char* key, const char* value) { return Add(key, std::string(value)); }
    Record& Add(const char* key, unsigned long value) { return Add(key, std::to_string(value)); }
    Record& Add(const char* key, const RECT& rect);
    Record& Hex(const char* key, std::uint64_t value);
    Record& Flag(const char* key, bool value) { return Add(key, value ? "1" : "0"); }
    const std::string& Line() const { return line_; }

private:
    std::string line_;
};

struct Reply {
    std::vector<Record> records;
};

// The first word of a request.
std::string CommandWord(const std::string& line);
// The arguments after the command word: TAB-separated, or, in a line without
// TABs, at most `arity` blank-separated words of which the last takes the
// rest of the line.
Args Arguments(const std::string& line, size_t arity);

// Reads one line without its line end; false at the end of input.
bool ReadLine(FILE* in, std::string& line);
void WriteReply(FILE* out, const Reply& reply);
void WriteError(FILE* out, const std::string& reason);

}  // namespace inspector
