// SPDX-License-Identifier: GPL-3.0-or-later
// Reads test vector files: '#' comments, '[Section]' headers, 'Key = value' lines, records
// separated by blank lines.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

struct VectorRecord {
    std::string file;
    int line = 0; // line of the record's first field
    std::string section;
    std::map<std::string, std::string> fields;

    bool has(const std::string& key) const { return fields.count(key) != 0; }
    // The field's text; an absent key fails the calling test with the record's location.
    const std::string& text(const std::string& key) const;
    std::vector<uint8_t> bytes(const std::string& key) const;
    uint64_t number(const std::string& key) const; // decimal, or hexadecimal with 0x
    // "file:line" for failure messages.
    std::string where() const;
};

// Loads tests/data/<name>. A missing file or malformed line yields an empty list and a test failure.
std::vector<VectorRecord> readVectorFile(const std::string& name);

// Whitespace between hex digits is ignored; an odd digit count or a non-hex character throws.
std::vector<uint8_t> fromHex(std::string_view hex);
std::string toHex(const uint8_t* data, size_t length);
inline std::string toHex(const std::vector<uint8_t>& data) {
    return toHex(data.data(), data.size());
}

} // namespace testsupport
