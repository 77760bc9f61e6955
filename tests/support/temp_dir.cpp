// SPDX-License-Identifier: GPL-3.0-or-later
// TempDir and the file helpers used by tests that touch the file system.
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <stdlib.h>

namespace testsupport {

TempDir::TempDir() {
    std::string pathTemplate = (std::filesystem::temp_directory_path() / "brisklet-test.XXXXXX").string();
    if (::mkdtemp(pathTemplate.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed for " + pathTemplate);
    }
    m_path = pathTemplate;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::filesystem::path TempDir::writeFile(const std::string& name, const std::vector<uint8_t>& bytes) const {
    const std::filesystem::path file = m_path / name;
    testsupport::writeFile(file, bytes);
    return file;
}

std::vector<std::string> TempDir::names() const {
    return listNames(m_path);
}

void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << "could not write " << path;
}

std::vector<uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "could not open " << path;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> listNames(const std::filesystem::path& directory) {
    std::vector<std::string> names;
    if (!std::filesystem::exists(directory)) {
        return names;
    }
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<uint8_t> sampleBytes(size_t length, uint32_t seed) {
    std::mt19937 generator(seed);
    std::vector<uint8_t> bytes(length);
    for (auto& byte : bytes) {
        byte = static_cast<uint8_t>(generator() >> 24);
    }
    return bytes;
}

} // namespace testsupport
