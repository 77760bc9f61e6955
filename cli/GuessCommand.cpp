// SPDX-License-Identifier: GPL-3.0-or-later
// guess: tests every passphrase within two typing mistakes of the typed one against one file's check block.
#include "cli/Commands.h"

#include "cli/CandidateCheck.h"
#include "cli/EditCandidates.h"
#include "cli/ExitStatus.h"
#include "cli/Messages.h"
#include "cli/NameEscaping.h"
#include "cli/PassphraseInput.h"
#include "cli/ProgressBar.h"
#include "cli/Utf8ToUtf16.h"
#include "cli/WriteAll.h"
#include "engine/LogMessages.h"
#include "engine/PassphraseCheck.h"
#include "engine/PendingFiles.h"
#include "engine/PendingJournals.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

namespace cli {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kRedrawInterval{100};
// Long enough to average out the first call's cache misses, short enough not to be noticed.
constexpr std::chrono::milliseconds kSampleTime{150};
// Candidates a thread tests between additions to the shared count, which would otherwise be contended.
constexpr uint64_t kCountBatch = 64;

std::string refusalText(const engine::CheckResult& result, const std::filesystem::path& path) {
    switch (result.outcome) {
    case engine::CheckOutcome::NotEncrypted:
        return "not an encrypted file (its length is not a multiple of 16, or under 48 bytes)";
    case engine::CheckOutcome::RewritePending:
        return engine::logmsg::interruptedRewritePending(engine::comparablePath(path).parent_path().string());
    case engine::CheckOutcome::SymbolicLink:
        return std::string(engine::logmsg::kSymbolicLinkNamed);
    case engine::CheckOutcome::NotRegularFile:
        return std::string(engine::logmsg::kNotRegularFile);
    default:
        break;
    }
    return std::string("cannot be read (") + std::strerror(result.error) + ")";
}

// "about 3 min 20 s", rounded to what a wait is planned by.
std::string durationText(double seconds) {
    if (seconds < 1) {
        return "under a second";
    }
    const auto whole = static_cast<uint64_t>(seconds + 0.5);
    if (whole < 60) {
        return "about " + std::to_string(whole) + " s";
    }
    if (whole < 3600) {
        return "about " + std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
    }
    return "about " + std::to_string(whole / 3600) + " h " + std::to_string(whole / 60 % 60) + " min";
}

// Candidates tested per second by one thread, measured on the typed passphrase itself, whose cost is the
// candidates' cost.
double measureRate(CandidateCheck& check, std::u32string_view typed) {
    const auto start = Clock::now();
    uint64_t tested = 0;
    std::chrono::duration<double> elapsed{};
    do {
        check.opens(typed);
        ++tested;
        elapsed = Clock::now() - start;
    } while (elapsed < kSampleTime);
    return static_cast<double>(tested) / elapsed.count();
}

// The threads' shared state while they search one distance.
class Search {
public:
    Search(const EditCandidates& candidates, const uint8_t (&lastTwo)[2 * engine::format::kBlockSize])
        : m_candidates(candidates), m_lastTwo(lastTwo) {}

    // Runs `parts` threads over the candidates of `distance` and returns once all have ended, which is
    // soon after one finds a match; `onTick` runs on this thread meanwhile.
    void run(int distance, unsigned parts, const std::function<void()>& onTick) {
        std::vector<std::thread> threads;
        m_running = parts;
        for (unsigned part = 0; part < parts; ++part) {
            threads.emplace_back([this, distance, part, parts] { searchPart(distance, part, parts); });
        }
        {
            std::unique_lock lock(m_mutex);
            while (!m_ended.wait_for(lock, kRedrawInterval, [this] { return m_running == 0; })) {
                lock.unlock();
                onTick();
                lock.lock();
            }
        }
        for (auto& thread : threads) {
            thread.join();
        }
    }

    uint64_t tested() const { return m_tested.load(std::memory_order_relaxed); }
    bool found() const { return m_best.load() != kNone; }
    // Valid once found() and run() has returned.
    std::u32string_view match() const { return m_match.view(); }

private:
    void searchPart(int distance, unsigned part, unsigned parts) {
        CandidateCheck check(m_lastTwo);
        uint64_t uncounted = 0;
        m_candidates.visit(distance, part, parts, [&](std::u32string_view candidate, uint64_t first) {
            // A match of an earlier first edit may still be found by the parts that have not passed it.
            if (first > m_best.load(std::memory_order_relaxed)) {
                return false;
            }
            const bool opens = check.opens(candidate);
            if (++uncounted == kCountBatch) {
                m_tested += uncounted;
                uncounted = 0;
            }
            if (opens) {
                std::lock_guard lock(m_mutex);
                if (first < m_best) {
                    m_match.wipe();
                    for (const char32_t c : candidate) {
                        m_match.push_back(c);
                    }
                    m_best = first;
                }
            }
            return !opens;
        });
        m_tested += uncounted;
        std::lock_guard lock(m_mutex);
        if (--m_running == 0) {
            m_ended.notify_one();
        }
    }

    const EditCandidates& m_candidates;
    const uint8_t (&m_lastTwo)[2 * engine::format::kBlockSize];
    std::atomic<uint64_t> m_tested{0};
    // The first edit of the match found earliest in the order; within that first edit a part stops at its
    // first match, so the match is the first of all candidates, as on one thread.
    static constexpr uint64_t kNone = UINT64_MAX;
    std::atomic<uint64_t> m_best{kNone};
    std::mutex m_mutex;
    std::condition_variable m_ended;
    unsigned m_running = 0; // guarded by m_mutex
    SecretCodePoints m_match;
};

void printPassphrase(std::u32string_view codePoints) {
    SecretUtf8 text;
    appendUtf8(codePoints, text);
    text.push_back('\n');
    writeAll(STDOUT_FILENO, text.view());
}

} // namespace

int runGuessCommand(const Arguments& arguments) {
    const std::filesystem::path& path = arguments.paths.front();
    uint8_t lastTwo[2 * engine::format::kBlockSize];
    engine::PendingFiles pending;
    if (const auto refused = engine::readCheckBlocks(path, lastTwo, &pending)) {
        printError(escapePath(path) + ": " + refusalText(*refused, path));
        return ExitUsageError;
    }

    PassphraseInput input = obtainPassphrase(arguments, false);
    if (!input.passphrase) {
        printError(input.error);
        return ExitUsageError;
    }
    const SecretCodePoints typed = utf16ToCodePoints(input.passphrase->view());
    input.passphrase->wipe();

    CandidateCheck check(lastTwo);
    if (check.opens(typed.view())) {
        printError("the passphrase as typed opens " + escapePath(path));
        printPassphrase(typed.view());
        return ExitSuccess;
    }

    const EditCandidates candidates(typed.view());
    const uint64_t firstCount = candidates.count(1);
    const uint64_t total = firstCount + candidates.count(2);
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    const double rate = measureRate(check, typed.view()) * threads;
    printError("the passphrase as typed does not open " + escapePath(path) + "; trying " +
               std::to_string(total) + " passphrases within two edits of it on " + std::to_string(threads) +
               (threads == 1 ? " thread" : " threads") + ", " +
               durationText(static_cast<double>(total) / rate));

    ProgressBar bar(STDERR_FILENO, "candidates");
    const auto start = Clock::now();
    Search search(candidates, lastTwo);
    for (int distance = 1; distance <= 2 && !search.found(); ++distance) {
        search.run(distance, threads, [&] {
            const uint64_t done = search.tested();
            bar.update({{done, total}, done, total}, Clock::now() - start);
        });
    }
    bar.clear();
    if (!search.found()) {
        printError("no passphrase within two edits of the typed one opens " + escapePath(path));
        return ExitSomeFailed;
    }
    printPassphrase(search.match());
    return ExitSuccess;
}

} // namespace cli
