#include "protocol.h"

#include "common/fields.h"

namespace inspector {
namespace {

void Finish(FILE* out) {
    std::fputs(".\n", out);
    std::fflush(out);
}

}  // namespace

std::uint64_t ParseNumber(const std::string& text) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty()) throw CommandError("not a number: " + text);
    std::uint64_t value = 0;
    for (char c : digits) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            throw CommandError("not a number: " + text);
        }
        value = value * (hex ? 16U : 10U) + digit;
    }
    return value;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int wideLen = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), wideLen, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), wideLen, out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int len = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), len, nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), len, out.data(), n);
    return out;
}

Record& Record::Add(const char* key, const std::string& value) {
    if (!line_.empty()) line_ += '\t';
    line_ += key;
    line_ += '=';
    line_ += orvan::fields::Escape(value);
    return *this;
}

Record& Record::Add(const char* key, const RECT& rect) {
    return Add(key, std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) +
                        "," + std::to_string(rect.bottom));
}

Record& Record::Hex(const char* key, std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return Add(key, text);
}

std::string CommandWord(const std::string& line) { return line.substr(0, line.find_first_of(" \t")); }

Args Arguments(const std::string& line, size_t arity) {
    Args args;
    const size_t wordEnd = line.find_first_of(" \t");
    if (wordEnd == std::string::npos) return args;
    if (line.find('\t') != std::string::npos) {
        for (size_t start = wordEnd + 1;;) {
            const size_t tab = line.find('\t', start);
            args.push_back(line.substr(start, tab - start));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        return args;
    }
    size_t pos = line.find_first_not_of(' ', wordEnd);
    while (pos != std::string::npos) {
        if (args.size() + 1 >= arity) {
            args.push_back(line.substr(pos));  // the last argument takes the rest
            break;
        }
        const size_t blank = line.find(' ', pos);
        args.push_back(line.substr(pos, blank - pos));
        pos = blank == std::string::npos ? blank : line.find_first_not_of(' ', blank);
    }
    return args;
}

bool ReadLine(FILE* in, std::string& line) {
    line.clear();
    for (int c = std::fgetc(in); c != EOF; c = std::fgetc(in)) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return true;
        }
        line += static_cast<char>(c);
    }
    return !line.empty();
}

void WriteReply(FILE* out, const Reply& reply) {
    std::fputs("ok\n", out);
    for (const Record& record : reply.records) {
        std::fputs(record.Line().c_str(), out);
        std::fputc('\n', out);
    }
    Finish(out);
}

void WriteError(FILE* out, const std::string& reason) {
    std::fputs(("error\t" + orvan::fields::Escape(reason) + "\n").c_str(), out);
    Finish(out);
}

}  // namespace inspector
