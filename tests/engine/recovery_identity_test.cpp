// SPDX-License-Identifier: GPL-3.0-or-later
// Recovery from real journals left by killed runs, after the world around them changed: it completes the
// file only when it is provably the journal's file caught mid-rewrite, and otherwise keeps the journal and
// leaves everything as it found it; and `recover --discard` says what it drops.
#include "engine/Checksum.h"
#include "engine/Cryptor.h"
#include "engine/DecryptionOperation.h"
#include "engine/EncryptionOperation.h"
#include "engine/JournalDiscard.h"
#include "engine/JournalFormat.h"
#include "engine/LogMessages.h"
#include "engine/StatusCode.h"
#include "platform/FaultInjection.h"
#include "tests/engine/operation_fixture.h"
#include "tests/support/scoped_env.h"
#include "tests/support/unprivileged.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace enginetest;
using platform::FaultInjector;
using platform::FaultMode;
using platform::FaultPoint;
using testsupport::readFile;
namespace fs = std::filesystem;
namespace logmsg = engine::logmsg;

// Where the run that wrote the journal was killed.
enum class Kill {
    BeforePlacement, // at its lease, after the journal was published: the file is untouched
    MidWriteBack,    // at the second chunk of the write-back: the file is part replacement, part original
};

// Three write-back chunks, so that a kill at the second leaves both kinds of bytes in the file.
const std::vector<uint8_t>& plainBytes() {
    static const std::vector<uint8_t> bytes = testsupport::sampleBytes((2 << 20) + 1000, 23);
    return bytes;
}

struct RawJournal {
    engine::EnvelopeBytes envelope{};
    std::vector<uint8_t> header;
    std::vector<engine::JournalEntry> entries;
};

RawJournal decodeJournal(const fs::path& path) {
    const std::vector<uint8_t> bytes = readFile(path);
    RawJournal raw;
    EXPECT_GE(bytes.size(), raw.envelope.size());
    std::copy_n(bytes.begin(), raw.envelope.size(), raw.envelope.begin());
    const auto envelope = engine::decodeJournalEnvelope(raw.envelope);
    EXPECT_TRUE(envelope);
    if (!envelope || envelope->headerOffset + envelope->headerLength > bytes.size()) {
        return raw;
    }
    const auto start = bytes.begin() + static_cast<std::ptrdiff_t>(envelope->headerOffset);
    raw.header.assign(start, start + envelope->headerLength);
    EXPECT_TRUE(engine::journalHeaderMatches(*envelope, raw.envelope, raw.header));
    raw.entries = engine::decodeJournalHeader(raw.header).value_or(std::vector<engine::JournalEntry>{});
    return raw;
}

void overwrite(const fs::path& path, uint64_t offset, std::span<const uint8_t> bytes) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(offset));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good()) << path;
}

// Rewrites the journal's header with `entries`, vouched for as a writer of this version would.
void rewriteHeader(const fs::path& journal, const std::vector<engine::JournalEntry>& entries) {
    const auto envelope = engine::decodeJournalEnvelope(decodeJournal(journal).envelope);
    ASSERT_TRUE(envelope);
    const std::vector<uint8_t> header = engine::encodeJournalHeader(entries);
    ASSERT_EQ(header.size(), envelope->headerLength) << "the edit keeps the header's length";
    overwrite(journal, envelope->headerOffset, header);
    overwrite(journal, 0, engine::encodeJournalEnvelope(header, envelope->headerOffset));
}

std::string nameOfUser(uid_t uid) {
    const struct passwd* entry = ::getpwuid(uid);
    return entry != nullptr ? std::string(entry->pw_name) : "user " + std::to_string(uid);
}

class PendingJournalTest : public OperationTest {
protected:
    fs::path plainPath() const { return m_dir.path() / "data.bin"; }
    fs::path encryptedPath() const { return m_dir.path() / "data.bin.brisklet"; }
    fs::path journalPath() const {
        const auto journals = tempFiles();
        EXPECT_EQ(journals.size(), 1u);
        return journals.empty() ? fs::path() : m_dir.path() / journals.front();
    }

    static void runBare(const fs::path& input, Direction direction) {
        RecordingMaster master;
        if (direction == Direction::Encrypt) {
            engine::EncryptionOperation(input, runKeyFor(u"secret", twofish::DIR_ENCRYPT), &master, 0).main();
        } else {
            engine::DecryptionOperation(input, runKeyFor(u"secret", twofish::DIR_DECRYPT), &master, 0).main();
        }
    }

    // The kind and ordinal of the call that writes the second chunk of `file` back, from a run that is
    // let finish: the copy goes through the kernel or through memory, depending on the file system.
    std::pair<FaultPoint, int> secondPlacementCall(const fs::path& input, Direction direction) {
        const std::vector<uint8_t> before = readFile(input);
        std::vector<platform::FaultCall> calls;
        {
            const FaultInjector logger(FaultPoint::Open, 1 << 30);
            runBare(input, direction);
            calls = logger.calls();
        }
        for (const fs::path& made : {plainPath(), encryptedPath()}) {
            fs::remove(made);
        }
        testsupport::writeFile(input, before);
        const std::string subject = fs::canonical(m_dir.path()).string() + "/" + input.filename().string();

        std::map<FaultPoint, int> ordinal;
        bool published = false;
        int placements = 0;
        for (const platform::FaultCall& call : calls) {
            const int nth = ++ordinal[call.point];
            published =
                published || (call.point == FaultPoint::Rename &&
                              fs::path(call.subject).filename().string().starts_with(engine::kJournalPrefix));
            const bool copies = call.point == FaultPoint::CopyFileRange || call.point == FaultPoint::Write;
            if (published && copies && call.subject == subject && ++placements == 2) {
                return {call.point, nth};
            }
        }
        ADD_FAILURE() << "no second write-back call on " << subject;
        return {FaultPoint::Open, 0};
    }

    // Runs over `input` in a child that is ended at `kill`, leaving its journal behind.
    void crash(const fs::path& input, Direction direction, Kill kill) {
        const auto [point, nth] = kill == Kill::BeforePlacement ? std::pair(FaultPoint::Lease, 1)
                                                                : secondPlacementCall(input, direction);
        const pid_t child = ::fork();
        if (child == 0) {
            {
                const FaultInjector end(point, nth, FaultMode::ExitProcess);
                runBare(input, direction);
            }
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == platform::kFaultExitStatus);
        ASSERT_EQ(tempFiles().size(), 1u) << "the kill came after the journal was published";
    }

    // An encryption of data.bin ended at `kill`.
    void crashEncryption(Kill kill) {
        m_dir.writeFile("data.bin", plainBytes());
        crash(plainPath(), Direction::Encrypt, kill);
    }

    bool isEncrypted(const fs::path& path) const {
        return fs::exists(path) &&
               decryptFormat(readFile(path), keyFor(u"secret", twofish::DIR_DECRYPT)) == plainBytes();
    }

public:
    struct Row {
        int32_t code;
        std::string reason;
    };

protected:
    // One recovery over `paths`, as `recover PATH...` makes it.
    std::vector<Row> recover(const std::vector<fs::path>& paths) {
        engine::Cryptor cryptor;
        EXPECT_EQ(cryptor.recoverPendingRewrites(paths), std::nullopt);
        cryptor.waitUntilAllOperationsAreFinished();
        std::vector<Row> rows;
        for (int64_t row = 0; row < static_cast<int64_t>(cryptor.urlCount()); ++row) {
            rows.push_back({cryptor.statusOnRow(row), cryptor.failureReasonOnRow(row)});
        }
        return rows;
    }
};

// What a case leaves of the world once the recovery has run.
enum class Expect {
    Completed,        // the file encrypted under its new name, the journal gone
    KeptUntouched,    // refused: the file exactly as the disturbance left it, the journal kept
    DroppedUntouched, // refused: the file as it was, the journal removed because nothing depended on it
};

struct World {
    fs::path folder;
    fs::path file;
    fs::path journal;
    std::vector<fs::path> recoverPaths; // what `recover` is given; the folder unless the case says
    std::vector<std::unique_ptr<testsupport::ScopedEnv>> environment;
    std::function<void()> cleanUp;
};

struct IdentityCase {
    std::string name;
    Kill kill;
    std::function<void(World&)> disturb;
    Expect expect;
    std::string reason; // a part of the row's reason; empty for a completed file
};

void PrintTo(const IdentityCase&, std::ostream*) {}

// The journal's one entry, edited, vouched for again.
void editEntry(World& world, const std::function<void(engine::JournalEntry&)>& edit) {
    std::vector<engine::JournalEntry> entries = decodeJournal(world.journal).entries;
    ASSERT_EQ(entries.size(), 1u);
    edit(entries.front());
    rewriteHeader(world.journal, entries);
}

void replaceFile(World& world, const std::vector<uint8_t>& bytes) {
    fs::remove(world.file);
    testsupport::writeFile(world.file, bytes);
}

uint64_t payloadLength(World& world) {
    const auto entries = decodeJournal(world.journal).entries;
    return entries.empty() ? 0 : entries.front().finalLength;
}

std::vector<IdentityCase> identityCases() {
    const std::string elsewhere = nameOfUser(testsupport::kNobody);
    return {
        {"NothingDisturbed", Kill::MidWriteBack, [](World&) {}, Expect::Completed, ""},
        {"AnotherStateDirectory", Kill::MidWriteBack,
         [](World& world) {
             const fs::path empty =
                 world.folder.parent_path() / (world.folder.filename().string() + "-state");
             fs::create_directory(empty);
             world.environment.push_back(
                 std::make_unique<testsupport::ScopedEnv>("XDG_STATE_HOME", empty.string()));
             world.cleanUp = [empty] { fs::remove_all(empty); };
         },
         Expect::Completed, ""},
        // A state directory that cannot be made, and no HOME to fall back on.
        {"NoStateDirectory", Kill::MidWriteBack,
         [](World& world) {
             world.environment.push_back(std::make_unique<testsupport::ScopedEnv>(
                 "XDG_STATE_HOME", (world.file.parent_path() / "not-a-folder" / "state").string()));
             world.environment.push_back(std::make_unique<testsupport::ScopedEnv>("HOME", std::nullopt));
             testsupport::writeFile(world.folder / "not-a-folder", {1});
             world.cleanUp = [folder = world.folder] { fs::remove(folder / "not-a-folder"); };
         },
         Expect::Completed, ""},
        // The file deleted and another made under its name, on an inode the journal is made to name, as
        // a file system without birth times or generations could hand out again.
        {"ReusedInodeWithoutBirthTime", Kill::MidWriteBack,
         [](World& world) {
             replaceFile(world, testsupport::sampleBytes(plainBytes().size(), 99));
             struct stat now {};
             ASSERT_EQ(::stat(world.file.c_str(), &now), 0);
             editEntry(world, [&](engine::JournalEntry& entry) {
                 entry.inode = now.st_ino;
                 entry.generation.reset();
                 entry.birthNanoseconds.reset();
             });
         },
         Expect::KeptUntouched, std::string(logmsg::kFileNoLongerMatches)},
        // `cp backup data.bin` writes into the same inode; then two separate edits, more than one torn run.
        {"RestoredInPlaceThenEdited", Kill::MidWriteBack,
         [](World& world) {
             std::vector<uint8_t> bytes = plainBytes();
             bytes[10] ^= 0xff;
             bytes[(3 << 19) + 7] ^= 0xff;
             testsupport::writeFile(world.file, bytes);
         },
         Expect::KeptUntouched, std::string(logmsg::kFileNoLongerMatches)},
        {"RestoredInPlaceThenLengthened", Kill::MidWriteBack,
         [](World& world) {
             std::vector<uint8_t> bytes = plainBytes();
             bytes.resize(bytes.size() + 4096, 'x');
             testsupport::writeFile(world.file, bytes);
         },
         Expect::KeptUntouched, std::string(logmsg::kFileNoLongerMatches)},
        {"FileNamedWithDotSlash", Kill::MidWriteBack,
         [](World& world) {
             const fs::path saved = fs::current_path();
             fs::current_path(world.folder.parent_path());
             world.recoverPaths = {fs::path(".") / world.folder.filename() / "data.bin"};
             world.cleanUp = [saved] { fs::current_path(saved); };
         },
         Expect::Completed, ""},
        {"FolderWithTrailingDot", Kill::MidWriteBack,
         [](World& world) { world.recoverPaths = {world.folder / "."}; }, Expect::Completed, ""},
        {"FileThroughDotDot", Kill::MidWriteBack,
         [](World& world) {
             fs::create_directory(world.folder / "sub");
             world.recoverPaths = {world.folder / "sub" / ".." / "data.bin"};
         },
         Expect::Completed, ""},
        // One recovery per journal, however many of the paths given lead to it.
        {"SameFileNamedTwoWays", Kill::MidWriteBack,
         [](World& world) {
             fs::create_directory(world.folder / "sub");
             world.recoverPaths = {world.folder / "sub" / ".." / "data.bin", world.folder / "data.bin"};
         },
         Expect::Completed, ""},
        {"AnotherOwnersJournal", Kill::MidWriteBack,
         [](World& world) {
             ASSERT_EQ(::chown(world.journal.c_str(), testsupport::kNobody, testsupport::kNobody), 0);
         },
         Expect::KeptUntouched, logmsg::journalOfAnotherUser(elsewhere)},
        {"DamagedPayloadOverUntouchedFile", Kill::BeforePlacement,
         [](World& world) {
             const uint8_t flipped[] = {
                 static_cast<uint8_t>(readFile(world.journal)[engine::kJournalPayloadStart + 100] ^ 1)};
             overwrite(world.journal, engine::kJournalPayloadStart + 100, flipped);
         },
         Expect::DroppedUntouched, std::string(logmsg::kJournalDamagedFileWhole)},
        {"DamagedPayloadOverTouchedFile", Kill::MidWriteBack,
         [](World& world) {
             const uint8_t flipped[] = {
                 static_cast<uint8_t>(readFile(world.journal)[engine::kJournalPayloadStart + 100] ^ 1)};
             overwrite(world.journal, engine::kJournalPayloadStart + 100, flipped);
         },
         Expect::KeptUntouched, std::string(logmsg::kJournalDamaged)},
        // What a journal whose payload never reached the disk reads as after a power loss.
        {"ZeroFilledPayloadOverUntouchedFile", Kill::BeforePlacement,
         [](World& world) {
             overwrite(world.journal, engine::kJournalPayloadStart,
                       std::vector<uint8_t>(payloadLength(world), 0));
         },
         Expect::DroppedUntouched, std::string(logmsg::kJournalDamagedFileWhole)},
        {"UnknownVersion", Kill::MidWriteBack,
         [](World& world) {
             RawJournal raw = decodeJournal(world.journal);
             raw.envelope[8] = static_cast<uint8_t>(engine::kJournalVersion + 1);
             // Vouched for as a later writer would: the checksum covers the envelope's first 24 bytes.
             engine::ChecksumStream sum;
             sum.update(std::span(raw.envelope).first(24));
             sum.update(raw.header);
             const uint64_t checksum = sum.digest();
             for (size_t i = 0; i < 8; ++i) {
                 raw.envelope[24 + i] = static_cast<uint8_t>(checksum >> (8 * i));
             }
             overwrite(world.journal, 0, raw.envelope);
         },
         Expect::KeptUntouched, std::string(logmsg::kJournalUnknownVersion)},
    };
}

std::string describe(const std::vector<PendingJournalTest::Row>& rows) {
    std::string text;
    for (const auto& row : rows) {
        text += "[" + std::to_string(row.code) + ": " + row.reason + "] ";
    }
    return text;
}

class RecoveryIdentityTest : public PendingJournalTest, public testing::WithParamInterface<IdentityCase> {};

TEST_P(RecoveryIdentityTest, CompletesOnlyTheJournalsOwnFile) {
    const IdentityCase& c = GetParam();
    crashEncryption(c.kill);
    World world{m_dir.path(), plainPath(), journalPath(), {m_dir.path()}, {}, {}};
    c.disturb(world);
    if (HasFatalFailure()) {
        return;
    }
    const std::vector<uint8_t> fileBefore = readFile(world.file);
    const std::vector<uint8_t> journalBefore = readFile(world.journal);

    const std::vector<Row> rows = recover(world.recoverPaths);
    world.environment.clear();
    if (world.cleanUp) {
        world.cleanUp();
    }

    ASSERT_EQ(rows.size(), 1u) << "one row for the journal's one file: " << describe(rows);
    if (c.expect == Expect::Completed) {
        EXPECT_EQ(rows[0].code, engine::StatusDone) << rows[0].reason;
        EXPECT_NE(rows[0].reason.find(logmsg::kRecoveredAfterInterruption), std::string::npos)
            << rows[0].reason;
        EXPECT_TRUE(isEncrypted(encryptedPath()));
        EXPECT_FALSE(fs::exists(world.file));
        EXPECT_TRUE(tempFiles().empty());
        return;
    }
    EXPECT_EQ(rows[0].code, engine::StatusFailed);
    EXPECT_NE(rows[0].reason.find(c.reason), std::string::npos) << rows[0].reason;
    EXPECT_EQ(readFile(world.file), fileBefore) << "nothing was written into the file";
    EXPECT_FALSE(fs::exists(encryptedPath()));
    if (c.expect == Expect::KeptUntouched) {
        ASSERT_TRUE(fs::exists(world.journal));
        EXPECT_EQ(readFile(world.journal), journalBefore);
    } else {
        EXPECT_TRUE(tempFiles().empty());
        EXPECT_EQ(fileBefore, plainBytes());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RecoveryIdentityTest, testing::ValuesIn(identityCases()),
                         [](const testing::TestParamInfo<IdentityCase>& info) { return info.param.name; });

// A journal read on another mount of the same disk gets another device number: nothing in it may
// depend on one. Its header is exactly its entries, and an entry has no field for a device.
TEST_F(PendingJournalTest, TheJournalRecordsNoDeviceNumber) {
    crashEncryption(Kill::MidWriteBack);
    const RawJournal raw = decodeJournal(journalPath());
    ASSERT_EQ(raw.entries.size(), 1u);
    EXPECT_EQ(engine::encodeJournalHeader(raw.entries), raw.header)
        << "the header holds nothing but its entries";
    const engine::JournalEntry& entry = raw.entries.front();
    struct stat file {};
    ASSERT_EQ(::stat(plainPath().c_str(), &file), 0);
    EXPECT_EQ(entry.inode, file.st_ino);
    EXPECT_EQ(entry.name, "data.bin");
    EXPECT_EQ(entry.target, "data.bin.brisklet");
    EXPECT_EQ(entry.originalLength, plainBytes().size());
}

// `recover --discard`: says what it gives up, then removes exactly that journal.
TEST_F(PendingJournalTest, DiscardDescribesTheJournalThenRemovesIt) {
    struct Case {
        Direction direction;
        std::string description;
    };
    for (const Case& c : {Case{Direction::Encrypt, "encryption of data.bin to data.bin.brisklet"},
                          Case{Direction::Decrypt, "decryption of data.bin.brisklet to data.bin"}}) {
        SCOPED_TRACE(c.description);
        fs::path input = m_dir.writeFile("data.bin", plainBytes());
        if (c.direction == Direction::Decrypt) {
            ASSERT_EQ(encrypt(input), engine::StatusDone);
            input = encryptedPath();
        }
        crash(input, c.direction, Kill::MidWriteBack);
        const fs::path journal = journalPath();
        const std::vector<uint8_t> fileBefore = readFile(input);

        const engine::Discarded discarded = engine::discardJournal(journal);
        EXPECT_TRUE(discarded.removed);
        ASSERT_EQ(discarded.lines.size(), 1u);
        EXPECT_TRUE(discarded.lines[0].starts_with(c.description)) << discarded.lines[0];
        const bool saysPlainText = discarded.lines[0].find("holds its plain text") != std::string::npos;
        EXPECT_EQ(saysPlainText, c.direction == Direction::Decrypt) << discarded.lines[0];
        EXPECT_TRUE(tempFiles().empty());
        EXPECT_EQ(readFile(input), fileBefore) << "discarding never touches the file";
        fs::remove(input);
    }
}

TEST_F(PendingJournalTest, DiscardRefusesWhatIsNotAJournal) {
    crashEncryption(Kill::MidWriteBack);
    const std::vector<uint8_t> fileBefore = readFile(plainPath());
    const engine::Discarded discarded = engine::discardJournal(plainPath());
    EXPECT_FALSE(discarded.removed);
    ASSERT_EQ(discarded.lines.size(), 1u);
    EXPECT_TRUE(discarded.lines[0].starts_with("not a journal")) << discarded.lines[0];
    EXPECT_EQ(readFile(plainPath()), fileBefore);
    EXPECT_EQ(tempFiles().size(), 1u);
}

TEST_F(PendingJournalTest, DiscardRefusesTheJournalOfALiveRun) {
    m_dir.writeFile("data.bin", plainBytes());
    std::optional<engine::Discarded> discarded;
    std::vector<uint8_t> fileDuring;
    {
        // Paused where the run holds its published journal and has not touched the file yet.
        const FaultInjector pause(FaultPoint::Lease, 1, [&] {
            discarded = engine::discardJournal(journalPath());
            fileDuring = readFile(plainPath());
        });
        EXPECT_EQ(encrypt(plainPath()), engine::StatusDone);
    }
    ASSERT_TRUE(discarded);
    EXPECT_FALSE(discarded->removed);
    EXPECT_EQ(discarded->lines, std::vector<std::string>{std::string(logmsg::kInUseByAnotherRun)});
    EXPECT_EQ(fileDuring, plainBytes());
    EXPECT_TRUE(isEncrypted(encryptedPath())) << "the live run went on undisturbed";
    EXPECT_TRUE(tempFiles().empty());
}

} // namespace
