// SPDX-License-Identifier: GPL-3.0-or-later
// encrypt and decrypt: a run of the engine, a progress bar while it lasts, and one line per file.
#include "cli/Commands.h"

#include "cli/ExitStatus.h"
#include "cli/FolderSkip.h"
#include "cli/HeldSignals.h"
#include "cli/Messages.h"
#include "cli/NameEscaping.h"
#include "cli/OutputFolders.h"
#include "cli/PassphraseInput.h"
#include "cli/RunFollower.h"
#include "cli/RunMonitor.h"
#include "engine/Cryptor.h"
#include "platform/ErrorText.h"
#include "platform/Folder.h"

#include <cerrno>

#include <iostream>

namespace cli {

int runFileCommand(const Arguments& arguments) {
    const bool encrypt = arguments.command == Command::Encrypt;
    engine::Cryptor cryptor;
    cryptor.addURLs(arguments.paths);
    const auto skipped = skipFolderFiles(cryptor, arguments.command, arguments.includeEncrypted);
    for (const std::string& line : skipped) {
        std::cout << line << '\n';
    }
    std::cout.flush();
    const uint64_t total = cryptor.urlCount();
    if (total == 0) {
        printError(encrypt ? "no files to encrypt" : "no files to decrypt");
        return ExitSuccess;
    }
    std::optional<OutputFolders> output;
    if (arguments.outputDir) {
        output = planOutputFolders(cryptor, arguments.paths, *arguments.outputDir);
        if (output->refusal) {
            printError(*output->refusal);
            return ExitUsageError;
        }
    }

    PassphraseInput input = obtainPassphrase(arguments, encrypt && !arguments.noConfirm);
    if (!input.passphrase) {
        printError(input.error);
        return ExitUsageError;
    }
    if (output && !platform::Folder::openMakingMissing(output->outputDir)) {
        printError("cannot make the output folder " + escapePath(*arguments.outputDir) + ": " +
                   platform::errorText(errno));
        return ExitUsageError;
    }
    RunMonitor monitor(cryptor);
    // Before the run starts its worker threads, so that they inherit the held signals.
    HeldSignals signals;
    const auto view = input.passphrase->view();
    std::optional<std::string> refusal;
    if (output) {
        refusal = encrypt ? cryptor.encryptFilesInto(view, std::move(output->byRow))
                          : cryptor.decryptFilesInto(view, std::move(output->byRow));
    } else {
        refusal =
            encrypt ? cryptor.encryptFilesUsingPassPhrase(view) : cryptor.decryptFilesUsingPassPhrase(view);
    }
    input.passphrase->wipe();
    if (refusal) {
        printError(*refusal);
        return ExitUsageError;
    }

    for (const std::string& notice : cryptor.notices()) {
        printError(escapeName(notice));
    }
    followRun(cryptor, monitor, signals);
    const bool allDone = printResults(cryptor, Expect::Processed);
    if (signals.poll()) {
        return signals.exitStatus();
    }
    return allDone ? ExitSuccess : ExitSomeFailed;
}

} // namespace cli
