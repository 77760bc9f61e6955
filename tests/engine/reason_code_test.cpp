// SPDX-License-Identifier: GPL-3.0-or-later
// Reason codes: every sentence a row can carry has its code, with the part that names something as detail.
#include "engine/Cryptor.h"
#include "engine/LogMessages.h"
#include "engine/ReasonCode.h"
#include "engine/StatusCode.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using engine::Reason;
using engine::ReasonCode;
namespace logmsg = engine::logmsg;

TEST(ReasonCodeTest, EverySentenceHasItsCodeAndDetail) {
    const std::vector<std::pair<std::string, Reason>> cases = {
        {std::string(logmsg::kStoppedUntouched), {ReasonCode::Stopped, ""}},
        {std::string(logmsg::kRecoveredAfterInterruption), {ReasonCode::Recovered, ""}},
        {std::string(logmsg::kPassphraseMightBeWrong), {ReasonCode::WrongPassphrase, ""}},
        {std::string(logmsg::kNotAMultipleOf16), {ReasonCode::NotAMultipleOf16, ""}},
        {std::string(logmsg::kShorterThanAnyEncryptedFile), {ReasonCode::ShorterThanAnyEncryptedFile, ""}},
        {std::string(logmsg::kSymbolicLinkNamed), {ReasonCode::SymbolicLinkNamed, ""}},
        {std::string(logmsg::kOpenInAnotherProgram), {ReasonCode::OpenInAnotherProgram, ""}},
        {std::string(logmsg::kChangedDuringRewrite), {ReasonCode::ChangedDuringRewrite, ""}},
        {std::string(logmsg::kJournalDamaged), {ReasonCode::JournalDamaged, ""}},
        {std::string(logmsg::kOpenedWithNfcForm), {ReasonCode::OpenedWithNfcForm, ""}},
        {std::string(logmsg::kOpenedWithNfdForm), {ReasonCode::OpenedWithNfdForm, ""}},
        {logmsg::sameFileAs("a; b.txt"), {ReasonCode::SameFileAs, "a; b.txt"}},
        {logmsg::targetAlreadyExists("x.brisklet"), {ReasonCode::TargetExists, "x.brisklet"}},
        {logmsg::severalNames(3), {ReasonCode::SeveralNames, "3"}},
        {logmsg::interruptedRewritePending("/d/e f"), {ReasonCode::RewritePending, "/d/e f"}},
        {logmsg::journalKeptAt("/d/.brisklet-journal-x"),
         {ReasonCode::JournalKeptAt, "/d/.brisklet-journal-x"}},
        {logmsg::journalOfAnotherUser("alice"), {ReasonCode::JournalOfAnotherUser, "alice"}},
        {logmsg::notDurable("input/output error"), {ReasonCode::NotDurable, "input/output error"}},
        {logmsg::withErrorText(logmsg::kCouldNotCreateJournal, ENOSPC),
         {ReasonCode::CouldNotCreateJournal, "no space left"}},
        {logmsg::withErrorText(logmsg::kCouldNotSyncFile, EIO),
         {ReasonCode::CouldNotSyncFile, "input/output error"}},
        {logmsg::withErrorText(logmsg::kCouldNotMakeCopyFolder, ENOTDIR),
         {ReasonCode::CouldNotMakeCopyFolder, "not a directory"}},
        {logmsg::withErrorText(logmsg::kCouldNotCreateCopy, ENOSPC),
         {ReasonCode::CouldNotCreateCopy, "no space left"}},
        {logmsg::withErrorText(logmsg::kCouldNotNameCopy, EIO),
         {ReasonCode::CouldNotNameCopy, "input/output error"}},
        {logmsg::copyNotDurable("input/output error"), {ReasonCode::CopyNotDurable, "input/output error"}},
        {"permission denied", {ReasonCode::SystemError, "permission denied"}},
        {"the disk caught fire", {ReasonCode::Unknown, "the disk caught fire"}},
    };
    for (const auto& [line, expected] : cases) {
        SCOPED_TRACE(line);
        EXPECT_EQ(engine::reasonOf(line), expected);
    }
}

// The codes travel with the row, one per line of its reason, in order, also for a row that shares another
// row's outcome.
TEST(ReasonCodeTest, RowsCarryTheCodesOfTheirLines) {
    testsupport::TempDir dir;
    const auto taken = dir.writeFile("a", {1});
    dir.writeFile("a.brisklet", {2});
    engine::Cryptor cryptor;
    cryptor.addURLs({taken, taken});
    ASSERT_EQ(cryptor.encryptFilesUsingPassPhrase(u"secret"), std::nullopt);
    cryptor.waitUntilAllOperationsAreFinished();
    ASSERT_EQ(cryptor.statusOnRow(0), engine::StatusFailed);
    EXPECT_EQ(cryptor.reasonCodesOnRow(0), (std::vector<Reason>{{ReasonCode::TargetExists, "a.brisklet"}}));
    EXPECT_EQ(cryptor.reasonCodesOnRow(1), (std::vector<Reason>{{ReasonCode::SameFileAs, "a"}}));
}

} // namespace
