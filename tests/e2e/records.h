// Records of key=value fields, as the inspector answers and the probe logs,
// and the waiting helpers the tests poll with.
#pragma once

#include "common/fields.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvan::e2e {

using Ms = std::chrono::milliseconds;

// A rectangle in screen pixels, right and bottom exclusive, as Win32 has it.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    int CenterX() const { return left + Width() / 2; }
    int CenterY() const { return top + Height() / 2; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Overlaps(const Rect& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
    bool operator==(const Rect&) const = default;

    // "left,top,right,bottom"; throws std::invalid_argument otherwise.
    static Rect Parse(const std::string& text);
    std::string ToString() const;
};

// One line of TAB-separated key=value fields; %XX in values stands for the
// byte XX.
class Record {
public:
    Record() = default;
    static Record Parse(std::string_view line);

    bool Has(const std::string& key) const { return fields_.count(key) != 0; }
    // The value, or "" when the key is missing.
    std::string Get(const std::string& key) const;
    // Decimal, or hex with 0x; throws std::invalid_argument naming the key
    // when the value is missing or not a number.
    std::int64_t Int(const std::string& key) const;
    std::uint64_t Handle(const std::string& key) const;
    bool Flag(const std::string& key) const { return Get(key) == "1"; }
    Rect RectOf(const std::string& key) const { return Rect::Parse(Get(key)); }
    const std::map<std::string, std::string>& Fields() const { return fields_; }
    // The record as it would be written, for failure messages.
    std::string ToString() const;

private:
    std::map<std::string, std::string> fields_;
    std::vector<std::string> order_;
};

// Every record of a file, one per non-empty line; none when the file is
// missing.
std::vector<Record> ReadRecords(const std::filesystem::path& file);

// Polls `condition` every `poll` until it holds or `timeout` has passed;
// true when it held.
bool WaitUntil(const std::function<bool()>& condition, Ms timeout, Ms poll = Ms(50));

// The whole contents of a file, or nullopt when it cannot be read.
std::optional<std::string> ReadFile(const std::filesystem::path& file);

// Waits until the file exists and contains `text`; its contents then.
std::optional<std::string> WaitForFileContaining(const std::filesystem::path& file, const std::string& text,
                                                 Ms timeout);

// Waits for the first record of the file that `match` accepts.
std::optional<Record> WaitForRecord(const std::filesystem::path& file, const std::function<bool(const Record&)>& match,
                                    Ms timeout);

}  // namespace orvan::e2e
