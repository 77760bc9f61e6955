// encrypt and decrypt: a run of the engine, a progress bar while it lasts, and one line per file.
#include "cli/Commands.h"

#include "cli/ExitStatus.h"
#include "cli/Messages.h"
#include "cli/PassphraseInput.h"
#include "cli/ProgressBar.h"
#include "cli/RunMonitor.h"
#include "engine/Cryptor.h"
#include "engine/StatusCode.h"
#include "platform/FileManager.h"

#include <iostream>
#include <unistd.h>

namespace cli {

namespace {

constexpr std::chrono::milliseconds kRedrawInterval{100};

// "PATH: outcome": the outcome from the row's code, and for failures the engine's own log lines.
std::string resultLine(const engine::Cryptor& cryptor, int64_t row) {
    const auto path = cryptor.urlOnRow(row);
    const std::string reason = cryptor.failureReasonOnRow(row);
    std::string line = path.string() + ": ";
    switch (cryptor.statusOnRow(row)) {
    case engine::StatusDone:
        return line + "done";
    case engine::StatusNotRenamed:
        return line + (reason.empty() ? "not renamed" : "not renamed (" + reason + ")");
    default:
        break;
    }
    // A missing file fails on opening, which logs nothing; say what the user can check.
    if (reason.empty()) {
        return line + (platform::exists(path) ? "failed" : "failed (no such file)");
    }
    return line + "failed (" + reason + ")";
}

} // namespace

int runFileCommand(const Arguments& arguments) {
    const bool encrypt = arguments.command == Command::Encrypt;
    engine::Cryptor cryptor;
    cryptor.addURLs(arguments.paths);
    const uint64_t total = cryptor.urlCount();
    if (total == 0) {
        printError(encrypt ? "no files to encrypt" : "no files to decrypt");
        return ExitSuccess;
    }

    PassphraseInput input = obtainPassphrase(arguments, encrypt && !arguments.noConfirm);
    if (!input.passphrase) {
        printError(input.error);
        return ExitUsageError;
    }
    RunMonitor monitor(cryptor);
    const auto refusal = encrypt ? cryptor.encryptFilesUsingPassPhrase(input.passphrase->view())
                                 : cryptor.decryptFilesUsingPassPhrase(input.passphrase->view());
    input.passphrase->wipe();
    if (refusal) {
        printError(*refusal);
        return ExitUsageError;
    }

    {
        ProgressBar bar(STDERR_FILENO, total);
        const auto start = std::chrono::steady_clock::now();
        monitor.waitForEnd(kRedrawInterval, [&](uint64_t reported) {
            bar.update(reported, std::chrono::steady_clock::now() - start);
        });
        // The last report comes from inside an operation; let every operation finish its work.
        cryptor.waitUntilAllOperationsAreFinished();
    }

    bool allDone = true;
    for (uint64_t row = 0; row < total; ++row) {
        const auto index = static_cast<int64_t>(row);
        allDone = allDone && cryptor.statusOnRow(index) == engine::StatusDone;
        std::cout << resultLine(cryptor, index) << '\n';
    }
    std::cout.flush();
    return allDone ? ExitSuccess : ExitSomeFailed;
}

} // namespace cli
