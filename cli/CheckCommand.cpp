// SPDX-License-Identifier: GPL-3.0-or-later
// check: derives the decryption key once and tests each file's check block with it.
#include "cli/Commands.h"

#include "cli/ExitStatus.h"
#include "cli/Messages.h"
#include "cli/NameEscaping.h"
#include "cli/PassphraseInput.h"
#include "crypto/passphrase_key.h"
#include "engine/Cryptor.h"
#include "engine/LogMessages.h"
#include "engine/PassphraseCheck.h"
#include "engine/PendingFiles.h"
#include "engine/PendingJournals.h"
#include "engine/Secret.h"

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
    engine::Secret<uint8_t[passphrase::kDigestSize]> digest;
    const passphrase::Result refusal = passphrase::digest(input.passphrase->view(), digest.get());
    input.passphrase->wipe();
    if (refusal != passphrase::Result::Ok) {
        printError(passphrase::describe(refusal));
        return ExitUsageError;
    }
    engine::Secret<twofish::keyInstance> key;
    if (passphrase::prepareKey(key.get(), twofish::DIR_DECRYPT, digest.get()) != twofish::TRUE) {
        printError(engine::logmsg::kMakeKeyFailed);
        return ExitUsageError;
    }

    // A file whose rewrite was interrupted is neither its old nor its new content yet.
    engine::PendingFiles pending;
    bool allOpen = true;
    for (uint64_t row = 0; row < total; ++row) {
        const auto path = list.urlOnRow(static_cast<int64_t>(row));
        const CheckResult result = engine::checkFile(path, key.get(), &pending);
        allOpen = allOpen && result.outcome == CheckOutcome::Opens;
        std::cout << escapePath(path) << ": "
                  << outcomeText(result, path, list.foundInFolderOnRow(static_cast<int64_t>(row))) << '\n';
    }
    std::cout.flush();
    return allOpen ? ExitSuccess : ExitSomeFailed;
}

} // namespace cli
