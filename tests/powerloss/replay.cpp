// SPDX-License-Identifier: GPL-3.0-or-later
// Rebuilds the disk states a power loss could leave from a pre-state image and a block write log, and runs a
// check command on each.
//   powerloss_replay [--seed N] [--prefixes N] [--subsets N] [--all-prefixes] PRESTATE LOG IMAGE --
//   COMMAND...
// The log is the one blocklog writes. Each write is cut into 4 KiB units, because a device may persist any
// sector of a request without the others; the states rebuilt are:
//   flush    every flush point: all units before that flush (points with no write since the last are skipped)
//   prefix   the first n units, n random
//   subset   all units before a random flush, plus a random subset of the units up to the next flush
//   all      with --all-prefixes, every prefix
// For each, IMAGE is overwritten with the state and COMMAND runs with POWERLOSS_POINT naming the point; its
// exit status 0 passes. The last line printed is "N passed, N failed".
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint64_t kUnitSize = 4096;

struct Unit {
    uint64_t offset;
    uint64_t dataStart; // into the log's bytes
    uint32_t length;
};

struct Log {
    std::vector<char> bytes;
    std::vector<Unit> units;
    std::vector<size_t> flushes; // the number of units written before each flush
};

struct Point {
    std::string name;
    size_t prefix;            // units applied in order
    std::vector<size_t> more; // and these units after them
};

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "powerloss_replay: %s\n", message.c_str());
    std::exit(2);
}

std::vector<char> readAll(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        fail(std::string("cannot read ") + path);
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint64_t littleEndian(const char* at, int bytes) {
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(at[i]);
    }
    return value;
}

Log parseLog(const char* path) {
    Log log;
    log.bytes = readAll(path);
    size_t at = 0;
    while (at < log.bytes.size()) {
        if (log.bytes.size() - at < 16) {
            fail("the log ends inside a record header");
        }
        const char kind = log.bytes[at];
        const auto length = static_cast<uint32_t>(littleEndian(&log.bytes[at + 4], 4));
        const uint64_t offset = littleEndian(&log.bytes[at + 8], 8);
        at += 16;
        if (kind == 'F') {
            log.flushes.push_back(log.units.size());
            continue;
        }
        if (kind != 'W' || log.bytes.size() - at < length) {
            fail("a damaged record in the log");
        }
        // Unit boundaries follow the device's 4 KiB sectors, not the request's start.
        for (uint64_t done = 0; done < length;) {
            const uint64_t here = offset + done;
            const uint64_t piece = std::min<uint64_t>(length - done, kUnitSize - here % kUnitSize);
            log.units.push_back({here, at + done, static_cast<uint32_t>(piece)});
            done += piece;
        }
        at += length;
    }
    return log;
}

std::vector<Point> planPoints(const Log& log, uint64_t seed, int prefixes, int subsets, bool allPrefixes) {
    std::vector<Point> points;
    const size_t total = log.units.size();
    size_t last = SIZE_MAX;
    for (size_t i = 0; i < log.flushes.size(); ++i) {
        if (log.flushes[i] != last) {
            points.push_back({"flush " + std::to_string(i + 1) + "/" + std::to_string(log.flushes.size()),
                              log.flushes[i],
                              {}});
            last = log.flushes[i];
        }
    }
    if (last != total) {
        points.push_back({"end (after the last flush)", total, {}});
    }

    std::mt19937_64 random(seed);
    if (allPrefixes) {
        for (size_t n = 0; n <= total; ++n) {
            points.push_back({"all-prefix " + std::to_string(n) + "/" + std::to_string(total), n, {}});
        }
    } else {
        std::uniform_int_distribution<size_t> cut(0, total);
        for (int i = 0; i < prefixes; ++i) {
            const size_t n = cut(random);
            points.push_back({"prefix " + std::to_string(n) + "/" + std::to_string(total), n, {}});
        }
    }

    // The intervals that hold writes: from the start or a flush to the next flush or the end.
    std::vector<std::pair<size_t, size_t>> intervals;
    size_t from = 0;
    for (size_t flush : log.flushes) {
        if (flush > from) {
            intervals.emplace_back(from, flush);
        }
        from = flush;
    }
    if (total > from) {
        intervals.emplace_back(from, total);
    }
    for (int i = 0; i < subsets && !intervals.empty(); ++i) {
        const auto [begin, end] =
            intervals[std::uniform_int_distribution<size_t>(0, intervals.size() - 1)(random)];
        // A different density each time reaches both "almost nothing" and "almost everything".
        std::bernoulli_distribution taken(std::uniform_real_distribution<double>(0.05, 0.95)(random));
        Point point{"", begin, {}};
        for (size_t u = begin; u < end; ++u) {
            if (taken(random)) {
                point.more.push_back(u);
            }
        }
        point.name = "subset of units " + std::to_string(begin) + ".." + std::to_string(end) + " (" +
                     std::to_string(point.more.size()) + " of " + std::to_string(end - begin) + ")";
        points.push_back(std::move(point));
    }
    // In order of their prefixes, so that one pass over the log builds them all.
    std::stable_sort(points.begin(), points.end(),
                     [](const Point& a, const Point& b) { return a.prefix < b.prefix; });
    return points;
}

void apply(std::vector<char>& disk, const Log& log, const Unit& unit) {
    if (unit.offset + unit.length > disk.size()) {
        fail("a write past the end of the pre-state image");
    }
    std::memcpy(disk.data() + unit.offset, log.bytes.data() + unit.dataStart, unit.length);
}

void writeImage(const char* path, const std::vector<char>& disk) {
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        fail(std::string("cannot write ") + path + ": " + std::strerror(errno));
    }
    for (size_t done = 0; done < disk.size();) {
        const ssize_t n = ::write(fd, disk.data() + done, disk.size() - done);
        if (n <= 0) {
            fail(std::string("cannot write ") + path + ": " + std::strerror(errno));
        }
        done += static_cast<size_t>(n);
    }
    ::close(fd);
}

bool runCheck(char** command, const std::string& point) {
    const pid_t child = ::fork();
    if (child < 0) {
        fail("fork failed");
    }
    if (child == 0) {
        ::setenv("POWERLOSS_POINT", point.c_str(), 1);
        ::execvp(command[0], command);
        std::perror(command[0]);
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            fail("waitpid failed");
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int numberOption(const char* value, const char* name) {
    char* end = nullptr;
    const long n = std::strtol(value, &end, 10);
    if (*value == '\0' || *end != '\0' || n < 0 || n > 1000000) {
        fail(std::string("bad number for ") + name);
    }
    return static_cast<int>(n);
}

} // namespace

int main(int argc, char** argv) {
    uint64_t seed = std::random_device{}();
    int prefixes = 50;
    int subsets = 50;
    bool allPrefixes = false;
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0 && argv[i][2] != '\0'; ++i) {
        const std::string option = argv[i];
        if (option == "--all-prefixes") {
            allPrefixes = true;
        } else if (i + 1 < argc && option == "--seed") {
            seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (i + 1 < argc && option == "--prefixes") {
            prefixes = numberOption(argv[++i], "--prefixes");
        } else if (i + 1 < argc && option == "--subsets") {
            subsets = numberOption(argv[++i], "--subsets");
        } else {
            fail("unknown option " + option);
        }
    }
    if (argc - i < 5 || std::strcmp(argv[i + 3], "--") != 0) {
        fail("usage: powerloss_replay [--seed N] [--prefixes N] [--subsets N] [--all-prefixes] PRESTATE LOG "
             "IMAGE -- COMMAND...");
    }
    const char* prestate = argv[i];
    const Log log = parseLog(argv[i + 1]);
    const char* image = argv[i + 2];
    char** command = argv + i + 4;

    std::vector<char> disk = readAll(prestate);
    const std::vector<Point> points = planPoints(log, seed, prefixes, subsets, allPrefixes);
    std::printf("seed %llu: %zu units of 4 KiB, %zu flushes, %zu points\n",
                static_cast<unsigned long long>(seed), log.units.size(), log.flushes.size(), points.size());
    std::fflush(stdout);

    int passed = 0;
    int failed = 0;
    size_t applied = 0;
    for (const Point& point : points) {
        for (; applied < point.prefix; ++applied) {
            apply(disk, log, log.units[applied]);
        }
        if (point.more.empty()) {
            writeImage(image, disk);
        } else {
            std::vector<char> state = disk;
            for (size_t u : point.more) {
                apply(state, log, log.units[u]);
            }
            writeImage(image, state);
        }
        if (runCheck(command, point.name)) {
            ++passed;
        } else {
            ++failed;
        }
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
