// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/vector_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

namespace testsupport {

namespace {

std::string trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t\r");
    return std::string(s.substr(first, last - first + 1));
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

const std::string& VectorRecord::text(const std::string& key) const {
    static const std::string empty;
    const auto it = fields.find(key);
    if (it == fields.end()) {
        ADD_FAILURE() << where() << ": no field '" << key << "'";
        return empty;
    }
    return it->second;
}

std::vector<uint8_t> VectorRecord::bytes(const std::string& key) const {
    try {
        return fromHex(text(key));
    } catch (const std::invalid_argument& e) {
        ADD_FAILURE() << where() << ": field '" << key << "': " << e.what();
        return {};
    }
}

uint64_t VectorRecord::number(const std::string& key) const {
    const std::string& value = text(key);
    try {
        return std::stoull(value, nullptr, value.starts_with("0x") ? 16 : 10);
    } catch (const std::exception&) {
        ADD_FAILURE() << where() << ": field '" << key << "' is not a number: " << value;
        return 0;
    }
}

std::string VectorRecord::where() const {
    return file + ":" + std::to_string(line);
}

std::vector<VectorRecord> readVectorFile(const std::string& name) {
    const std::string path = std::string(BRISKLET_TEST_DATA_DIR) + "/" + name;
    std::ifstream in(path);
    if (!in) {
        ADD_FAILURE() << "cannot open " << path;
        return {};
    }
    std::vector<VectorRecord> records;
    std::string section;
    VectorRecord current;
    auto finish = [&] {
        if (!current.fields.empty()) {
            records.push_back(std::move(current));
        }
        current = VectorRecord{};
    };
    std::string raw;
    for (int lineNumber = 1; std::getline(in, raw); ++lineNumber) {
        const std::string line = trim(raw);
        if (line.empty()) {
            finish();
            continue;
        }
        if (line[0] == '#') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            finish();
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos) {
            ADD_FAILURE() << name << ":" << lineNumber << ": expected 'Key = value'";
            return {};
        }
        if (current.fields.empty()) {
            current.file = name;
            current.line = lineNumber;
            current.section = section;
        }
        current.fields[trim(std::string_view(line).substr(0, eq))] =
            trim(std::string_view(line).substr(eq + 1));
    }
    finish();
    return records;
}

std::vector<uint8_t> fromHex(std::string_view hex) {
    std::vector<uint8_t> out;
    int high = -1;
    for (const char c : hex) {
        if (c == ' ' || c == '\t') {
            continue;
        }
        const int digit = hexDigit(c);
        if (digit < 0) {
            throw std::invalid_argument(std::string("not a hex digit: ") + c);
        }
        if (high < 0) {
            high = digit;
        } else {
            out.push_back(static_cast<uint8_t>(high << 4 | digit));
            high = -1;
        }
    }
    if (high >= 0) {
        throw std::invalid_argument("odd number of hex digits");
    }
    return out;
}

std::string toHex(const uint8_t* data, size_t length) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(length * 2);
    for (size_t i = 0; i < length; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out;
}

} // namespace testsupport
