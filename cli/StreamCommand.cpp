// SPDX-License-Identifier: GPL-3.0-or-later
// encrypt -, decrypt - and check -: the encrypted format through standard input and output, for pipelines.
#include "cli/Commands.h"

#include "cli/ExitStatus.h"
#include "cli/Messages.h"
#include "cli/PassphraseInput.h"
#include "cli/StreamDecryption.h"
#include "cli/StreamEncryption.h"
#include "cli/StreamIo.h"
#include "crypto/passphrase_key.h"
#include "engine/LogMessages.h"
#include "engine/Secret.h"
#include "platform/SecureRandom.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <unistd.h>

namespace cli {

namespace {

using Key = engine::Secret<twofish::keyInstance>;

// Data on a terminal would garble it, and a terminal as the plain text's source would be read until
// Ctrl-D: a redirection forgotten, not an intent.
std::optional<std::string> terminalRefusal(Command command) {
    if (command != Command::Check && ::isatty(STDOUT_FILENO) == 1) {
        return command == Command::Encrypt
                   ? "refusing to write encrypted data to a terminal; redirect standard output"
                   : "refusing to write the plain text to a terminal; redirect standard output";
    }
    if (command == Command::Encrypt && ::isatty(STDIN_FILENO) == 1) {
        return "refusing to read the plain text from a terminal; redirect standard input";
    }
    return std::nullopt;
}

// The run's key from the passphrase, or a sentence saying why there is none.
std::unique_ptr<Key> keyFor(SecretUtf16& typed, uint8_t direction, std::string& error) {
    engine::Secret<uint8_t[passphrase::kDigestSize]> digest;
    const passphrase::Result refusal = passphrase::digest(typed.view(), digest.get());
    typed.wipe();
    if (refusal != passphrase::Result::Ok) {
        error = passphrase::describe(refusal);
        return nullptr;
    }
    auto key = std::make_unique<Key>();
    if (passphrase::prepareKey(key->get(), direction, digest.get()) != twofish::TRUE) {
        error = engine::logmsg::kMakeKeyFailed;
        return nullptr;
    }
    return key;
}

// The line for a pass that did not end in Done; what was written is never the plain text or a complete
// encrypted form then.
std::string failureText(const StreamResult& result) {
    switch (result.outcome) {
    case StreamOutcome::WrongPassphrase:
        return "wrong passphrase; the output is not the plain text";
    case StreamOutcome::NotEncrypted:
        return "the input is not an encrypted file (its length is not 48 bytes plus a multiple of 16); the "
               "output is not the plain text";
    case StreamOutcome::ReadFailed:
        return std::string("cannot read standard input (") + std::strerror(result.error) +
               "); the output is incomplete";
    case StreamOutcome::WriteFailed:
        return std::string("cannot write to standard output (") + std::strerror(result.error) +
               "); the output is incomplete";
    case StreamOutcome::CipherFailed:
        return std::string(engine::logmsg::kBadNumberOfBitsProcessed) + "; the output is incomplete";
    case StreamOutcome::Done:
        break;
    }
    return {};
}

std::string checkLine(const StreamResult& result) {
    switch (result.outcome) {
    case StreamOutcome::Done:
        return "-: opens";
    case StreamOutcome::WrongPassphrase:
        return "-: wrong passphrase";
    case StreamOutcome::NotEncrypted:
        return "-: not an encrypted file";
    case StreamOutcome::ReadFailed:
        return std::string("-: cannot be read (") + std::strerror(result.error) + ")";
    default:
        break;
    }
    return "-: " + failureText(result);
}

} // namespace

int runStreamCommand(const Arguments& arguments) {
    const Command command = arguments.command;
    if (const auto refusal = terminalRefusal(command)) {
        printError(*refusal);
        return ExitUsageError;
    }
    const bool encrypt = command == Command::Encrypt;
    PassphraseInput input = obtainPassphrase(arguments, encrypt && !arguments.noConfirm);
    if (!input.passphrase) {
        printError(input.error);
        return ExitUsageError;
    }
    std::string error;
    const auto key = keyFor(*input.passphrase, encrypt ? twofish::DIR_ENCRYPT : twofish::DIR_DECRYPT, error);
    if (!key) {
        printError(error);
        return ExitUsageError;
    }

    // A reader that goes away is a failed write to report, not a silent end by SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    if (command == Command::Check) {
        const StreamResult result = checkStream(STDIN_FILENO, key->get());
        std::cout << checkLine(result) << std::endl;
        return result.outcome == StreamOutcome::Done && std::cout ? ExitSuccess : ExitSomeFailed;
    }

    StreamResult result;
    if (encrypt) {
        uint8_t iv[engine::format::kBlockSize];
        if (!platform::secureRandomBytes(iv, sizeof iv)) {
            printError(std::string("no random bytes for the initialisation vector (") + std::strerror(errno) +
                       ")");
            return ExitSomeFailed;
        }
        result = encryptStream(STDIN_FILENO, STDOUT_FILENO, key->get(), iv);
    } else {
        result = decryptStream(STDIN_FILENO, STDOUT_FILENO, key->get());
    }
    if (result.outcome == StreamOutcome::Done && !syncWhereAFile(STDOUT_FILENO)) {
        result = {StreamOutcome::WriteFailed, errno, result.written};
    }
    if (result.outcome != StreamOutcome::Done) {
        printError(failureText(result));
        return ExitSomeFailed;
    }
    return ExitSuccess;
}

} // namespace cli
