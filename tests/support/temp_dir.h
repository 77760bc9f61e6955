// SPDX-License-Identifier: GPL-3.0-or-later
// A scratch directory for tests that is removed with its contents, and small file helpers around it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// Created fresh under the system's temporary directory; removed with everything in it on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // Creates or replaces the file name in this directory with bytes; returns its full path.
    std::filesystem::path writeFile(const std::string& name, const std::vector<uint8_t>& bytes) const;
    // The names of the entries, hidden ones included, sorted.
    std::vector<std::string> names() const;

private:
    std::filesystem::path m_path;
};

// Replaces the file's content with bytes; a failure fails the calling test.
void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
// The file's bytes; a missing file fails the calling test and gives an empty result.
std::vector<uint8_t> readFile(const std::filesystem::path& path);
// Sorted names of a directory's entries, hidden ones included; none for a directory that does not exist.
std::vector<std::string> listNames(const std::filesystem::path& directory);

// Deterministic file contents that do not repeat with any power-of-two period, so that a byte read from the
// wrong offset shows.
std::vector<uint8_t> sampleBytes(size_t length, uint32_t seed = 1);

} // namespace testsupport
