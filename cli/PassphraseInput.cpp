// SPDX-License-Identifier: GPL-3.0-or-later
// Passphrase sources: a file, a descriptor, or the terminal with confirmation.
#include "cli/PassphraseInput.h"

#include "cli/LineReader.h"
#include "cli/NameEscaping.h"
#include "cli/TerminalPrompt.h"
#include "cli/Utf8ToUtf16.h"
#include "crypto/passphrase_key.h"

#include <cstring>
#include <utility>

namespace cli {

namespace {

PassphraseInput refused(std::string error) {
    PassphraseInput input;
    input.error = std::move(error);
    return input;
}

std::string readError(const Arguments& arguments, int error) {
    const std::string cause = std::strerror(error);
    if (arguments.passphraseFile) {
        return "cannot read the passphrase file '" + escapePath(*arguments.passphraseFile) + "': " + cause;
    }
    if (arguments.passphraseFd) {
        return "cannot read the passphrase from descriptor " + std::to_string(*arguments.passphraseFd) +
               ": " + cause;
    }
    return "cannot read the passphrase from the terminal: " + cause;
}

// The line as typed or stored; an error when it cannot be had at all.
PassphraseInput fromLine(const Arguments& arguments, const LineRead& read) {
    if (read.error != 0) {
        return refused(readError(arguments, read.error));
    }
    if (read.tooLong) {
        return refused(std::string(passphrase::describe(passphrase::Result::TooLong)));
    }
    if (read.line.empty()) {
        return refused("an empty passphrase cannot be used");
    }
    PassphraseInput input;
    input.passphrase = utf8ToUtf16(read.line.view());
    if (!input.passphrase) {
        return refused("the passphrase is not valid UTF-8");
    }
    return input;
}

} // namespace

PassphraseInput obtainPassphrase(const Arguments& arguments, bool confirm) {
    if (arguments.passphraseFile) {
        return fromLine(arguments, readFirstLineOfFile(*arguments.passphraseFile));
    }
    if (arguments.passphraseFd) {
        return fromLine(arguments, readFirstLine(*arguments.passphraseFd));
    }

    const auto terminal = TerminalPrompt::open();
    if (!terminal) {
        return refused("no terminal to ask for the passphrase on; give --passphrase-file or --passphrase-fd");
    }
    const LineRead first = terminal->ask("Passphrase: ");
    if (confirm && first.error == 0 && !first.tooLong && !first.line.empty()) {
        const LineRead second = terminal->ask("Repeat the passphrase: ");
        if (second.error != 0) {
            return refused(readError(arguments, second.error));
        }
        if (second.tooLong || first.line.view() != second.line.view()) {
            return refused("the passphrases do not match");
        }
    }
    return fromLine(arguments, first);
}

} // namespace cli
