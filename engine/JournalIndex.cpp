// SPDX-License-Identifier: GPL-3.0-or-later
// The hint index's text form: one folder a line, "inode generation path", the path escaped.
#include "engine/JournalIndex.h"

#include "platform/FileHandle.h"
#include "platform/FileManager.h"
#include "platform/FileStatus.h"
#include "platform/FileSystemTraits.h"
#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <unistd.h>

namespace engine {

namespace {

constexpr const char* kIndexName = "journals";
constexpr const char* kLockName = "journals.lock";
constexpr size_t kIndexLimit = 16 << 20;

std::string escaped(const std::string& raw) {
    std::string out;
    for (const char c : raw) {
        const auto byte = static_cast<uint8_t>(c);
        if (byte < 0x20 || byte == 0x7f || c == '\\') {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> unescaped(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        unsigned value = 0;
        if (i + 3 >= text.size() || text[i + 1] != 'x' ||
            std::from_chars(text.data() + i + 2, text.data() + i + 4, value, 16).ptr != text.data() + i + 4) {
            return std::nullopt;
        }
        out += static_cast<char>(value);
        i += 3;
    }
    return out;
}

std::string encode(const std::vector<JournalIndex::Entry>& entries) {
    std::string text;
    for (const auto& e : entries) {
        text += std::to_string(e.inode) + " " + (e.generation ? std::to_string(*e.generation) : "-") + " " +
                escaped(e.folder.string()) + "\n";
    }
    return text;
}

std::vector<JournalIndex::Entry> decode(std::string_view text) {
    std::vector<JournalIndex::Entry> entries;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            break; // a torn last line
        }
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        const size_t first = line.find(' ');
        const size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
        if (second == std::string_view::npos) {
            continue;
        }
        JournalIndex::Entry entry;
        const std::string_view inode = line.substr(0, first);
        const std::string_view generation = line.substr(first + 1, second - first - 1);
        uint64_t value = 0;
        if (std::from_chars(inode.data(), inode.data() + inode.size(), entry.inode).ptr !=
            inode.data() + inode.size()) {
            continue;
        }
        if (generation != "-" &&
            std::from_chars(generation.data(), generation.data() + generation.size(), value).ptr ==
                generation.data() + generation.size()) {
            entry.generation = value;
        }
        const auto path = unescaped(line.substr(second + 1));
        if (!path || path->empty() || (*path)[0] != '/') {
            continue;
        }
        entry.folder = *path;
        entries.push_back(std::move(entry));
    }
    return entries;
}

// The state directory with its lock taken, for as long as this lives.
struct LockedIndex {
    std::filesystem::path directory;
    std::unique_ptr<platform::FileHandle> lock;

    static std::optional<LockedIndex> take() {
        const auto directory = platform::stateDirectory("brisklet");
        if (!directory) {
            return std::nullopt;
        }
        const int fd =
            ::open((*directory / kLockName).c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            return std::nullopt;
        }
        auto lock = std::make_unique<platform::FileHandle>(fd);
        struct flock whole {};
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET;
        if (::fcntl(fd, F_OFD_SETLKW, &whole) != 0) {
            return std::nullopt;
        }
        return LockedIndex{*directory, std::move(lock)};
    }

    std::vector<JournalIndex::Entry> read() const {
        // Plain calls, outside the fault seam: a hint's failures change nothing, and a file that exists
        // only after the first run must not change how many guarded calls a rewrite makes.
        const int fd = ::open((directory / kIndexName).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            return {};
        }
        const platform::FileHandle closer(fd);
        struct stat info {};
        std::string text(
            ::fstat(fd, &info) == 0 ? std::min<size_t>(static_cast<size_t>(info.st_size), kIndexLimit) : 0,
            '\0');
        size_t done = 0;
        while (done < text.size()) {
            const ssize_t got = ::pread(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
            if (got <= 0) {
                break;
            }
            done += static_cast<size_t>(got);
        }
        text.resize(done);
        return decode(text);
    }

    void write(const std::vector<JournalIndex::Entry>& entries) const {
        const std::string text = encode(entries);
        const std::filesystem::path temporary = directory / (std::string(kIndexName) + ".new");
        ::unlink(temporary.c_str());
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            return;
        }
        const platform::FileHandle closer(fd);
        const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        if (!written || ::rename(temporary.c_str(), (directory / kIndexName).c_str()) != 0) {
            ::unlink(temporary.c_str());
        }
    }
};

} // namespace

void JournalIndex::add(const platform::Folder& folder) {
    const auto status = folder.status();
    if (!status) {
        return;
    }
    Entry entry{std::filesystem::absolute(folder.path()).lexically_normal(), status->identity.inode,
                platform::inodeGeneration(folder.descriptor())};
    const auto index = LockedIndex::take();
    if (!index) {
        return;
    }
    auto entries = index->read();
    if (std::find(entries.begin(), entries.end(), entry) != entries.end()) {
        return;
    }
    std::erase_if(entries, [&](const Entry& e) { return e.folder == entry.folder; });
    entries.push_back(std::move(entry));
    index->write(entries);
}

std::vector<JournalIndex::Entry> JournalIndex::entries() {
    const auto index = LockedIndex::take();
    return index ? index->read() : std::vector<Entry>{};
}

void JournalIndex::remove(const std::filesystem::path& folder) {
    const auto index = LockedIndex::take();
    if (!index) {
        return;
    }
    auto entries = index->read();
    const auto before = entries.size();
    std::erase_if(entries, [&](const Entry& e) { return e.folder == folder; });
    if (entries.size() != before) {
        index->write(entries);
    }
}

} // namespace engine
