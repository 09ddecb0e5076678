#include "records.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace orvan::e2e {

Rect Rect::Parse(const std::string& text) {
    Rect rect;
    char c1 = 0, c2 = 0, c3 = 0;
    std::istringstream in(text);
    in >> rect.left >> c1 >> rect.top >> c2 >> rect.right >> c3 >> rect.bottom;
    if (!in || c1 != ',' || c2 != ',' || c3 != ',') {
        throw std::invalid_argument("not a rectangle: '" + text + "'");
    }
    return rect;
}

std::string Rect::ToString() const {
    return std::to_string(left) + "," + std::to_string(top) + "," + std::to_string(right) + "," +
           std::to_string(bottom);
}

Record Record::Parse(std::string_view line) {
    Record record;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    size_t start = 0;
    while (start <= line.size()) {
        const size_t tab = line.find('\t', start);
        const std::string_view field = line.substr(start, tab == line.npos ? line.npos : tab - start);
        const size_t equals = field.find('=');
        if (!field.empty()) {
            const std::string key(field.substr(0, equals));
            const std::string value = equals == field.npos ? std::string() : fields::Unescape(field.substr(equals + 1));
            if (!record.Has(key)) record.order_.push_back(key);
            record.fields_[key] = value;
        }
        if (tab == line.npos) break;
        start = tab + 1;
    }
    return record;
}

std::string Record::Get(const std::string& key) const {
    const auto found = fields_.find(key);
    return found == fields_.end() ? std::string() : found->second;
}

std::int64_t Record::Int(const std::string& key) const {
    const std::string text = Get(key);
    try {
        size_t used = 0;
        const std::int64_t value = std::stoll(text, &used, 0);
        if (used == text.size()) return value;
    } catch (const std::exception&) {
    }
    throw std::invalid_argument("field '" + key + "' is not a number in: " + ToString());
}

std::uint64_t Record::Handle(const std::string& key) const { return static_cast<std::uint64_t>(Int(key)); }

std::string Record::ToString() const {
    std::string out;
    for (const std::string& key : order_) {
        if (!out.empty()) out += '\t';
        out += key + "=" + fields::Escape(fields_.at(key));
    }
    return out;
}

std::vector<Record> ReadRecords(const std::filesystem::path& file) {
    std::vector<Record> records;
    const std::string contents = ReadFile(file).value_or("");
    // A line without its line end may still be being written: not yet a record.
    for (size_t start = 0, end; (end = contents.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string_view line(contents.data() + start, end - start);
        if (line.find_first_not_of('\r') != line.npos) records.push_back(Record::Parse(line));
    }
    return records;
}

bool WaitUntil(const std::function<bool()>& condition, Ms timeout, Ms poll) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(poll);
    }
}

std::optional<std::string> ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

std::optional<std::string> WaitForFileContaining(const std::filesystem::path& file, const std::string& text,
                                                 Ms timeout) {
    std::optional<std::string> contents;
    const bool found = WaitUntil(
        [&] {
            contents = ReadFile(file);
            return contents && contents->find(text) != std::string::npos;
        },
        timeout);
    return found ? contents : std::nullopt;
}

std::optional<Record> WaitForRecord(const std::filesystem::path& file, const std::function<bool(const Record&)>& match,
                                    Ms timeout) {
    std::optional<Record> hit;
    WaitUntil(
        [&] {
            for (const Record& record : ReadRecords(file)) {
                if (match(record)) {
                    hit = record;
                    return true;
                }
            }
            return false;
        },
        timeout);
    return hit;
}

}  // namespace orvan::e2e
