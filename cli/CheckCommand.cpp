// SPDX-License-Identifier: GPL-3.0-or-later
// check: derives the decryption keys once and tests each file's check block with them.
#include "cli/Commands.h"

#include "cli/ExitStatus.h"
#include "cli/Messages.h"
#include "cli/NameEscaping.h"
#include "cli/PassphraseInput.h"
#include "engine/Cryptor.h"
#include "engine/LogMessages.h"
#include "engine/PassphraseCheck.h"
#include "engine/PassphraseForms.h"
#include "engine/PendingFiles.h"
#include "engine/PendingJournals.h"
#include "engine/RunKeys.h"

#include <cstring>
#include <iostream>

namespace cli {

namespace {

using engine::CheckOutcome;
using engine::CheckResult;

std::string folderOf(const std::filesystem::path& path) {
    return engine::comparablePath(path).parent_path().string();
}

std::string outcomeText(const CheckResult& result, const std::filesystem::path& path, bool foundInFolder) {
    switch (result.outcome) {
    case CheckOutcome::Opens:
        if (result.form != engine::PassphraseForm::Typed) {
            return "opens (" + std::string(engine::openedWithNote(result.form)) + ")";
        }
        return "opens";
    case CheckOutcome::WrongPassphrase:
        return "wrong passphrase";
    case CheckOutcome::NotEncrypted:
        return "not an encrypted file";
    case CheckOutcome::RewritePending:
        return engine::logmsg::interruptedRewritePending(folderOf(path));
    case CheckOutcome::SymbolicLink:
        return std::string(foundInFolder ? engine::logmsg::kSymbolicLinkInFolder
                                         : engine::logmsg::kSymbolicLinkNamed);
    case CheckOutcome::NotRegularFile:
        return std::string(engine::logmsg::kNotRegularFile);
    case CheckOutcome::Unreadable:
        break;
    }
    return std::string("cannot be read (") + std::strerror(result.error) + ")";
}

} // namespace

int runCheckCommand(const Arguments& arguments) {
    // The engine's list expands directories exactly as a decryption run would.
    engine::Cryptor list;
    list.addURLs(arguments.paths);
    const uint64_t total = list.urlCount();
    if (total == 0) {
        printError("no files to check");
        return ExitSuccess;
    }

    PassphraseInput input = obtainPassphrase(arguments, false);
    if (!input.passphrase) {
        printError(input.error);
        return ExitUsageError;
    }
    // The typed form, and its NFC and NFD forms where they key differently, as a decryption tries them.
    std::string refusal;
    const auto keys =
        engine::RunKeys::forPassphrase(input.passphrase->view(), twofish::DIR_DECRYPT, &refusal);
    input.passphrase->wipe();
    if (!keys) {
        printError(refusal);
        return ExitUsageError;
    }

    // A file whose rewrite was interrupted is neither its old nor its new content yet.
    engine::PendingFiles pending;
    bool allOpen = true;
    for (uint64_t row = 0; row < total; ++row) {
        const auto path = list.urlOnRow(static_cast<int64_t>(row));
        const CheckResult result = engine::checkFile(path, *keys, &pending);
        allOpen = allOpen && result.outcome == CheckOutcome::Opens;
        std::cout << escapePath(path) << ": "
                  << outcomeText(result, path, list.foundInFolderOnRow(static_cast<int64_t>(row))) << '\n';
    }
    std::cout.flush();
    return allOpen ? ExitSuccess : ExitSomeFailed;
}

} // namespace cli
