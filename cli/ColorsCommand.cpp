// SPDX-License-Identifier: GPL-3.0-or-later
// colors: the passphrase's colour bars, drawn as the desktop's colour feedback view would draw them.
#include "cli/Commands.h"

#include "cli/ColorBars.h"
#include "cli/ExitStatus.h"
#include "cli/Messages.h"
#include "cli/PassphraseInput.h"
#include "crypto/wipe.h"
#include "engine/Cryptor.h"

#include <iostream>

namespace cli {

namespace {

// The desktop shows colours only from this many UTF-16 code units on, so that the bars of a short
// prefix give little away about the passphrase.
constexpr std::size_t kMinimumLengthForColors = 5;

} // namespace

int runColorsCommand(const Arguments& arguments) {
    PassphraseInput input = obtainPassphrase(arguments, false);
    if (!input.passphrase) {
        printError(input.error);
        return ExitUsageError;
    }
    if (input.passphrase->size() < kMinimumLengthForColors) {
        std::cout << "The passphrase is too short to show colours: they are shown from "
                  << kMinimumLengthForColors << " characters on.\n";
        return ExitSuccess;
    }

    engine::Cryptor cryptor;
    uint8_t hash[passphrase::kDigestSize];
    if (!cryptor.doHashString(input.passphrase->view(), hash)) {
        // Refused before any hashing: asking again only fetches the reason.
        printError(passphrase::describe(passphrase::digest(input.passphrase->view(), hash)));
        return ExitUsageError;
    }
    input.passphrase->wipe();
    std::cout << renderBars(barColors(hash)) << std::flush;
    crypto::secureWipe(hash, sizeof hash);
    return ExitSuccess;
}

} // namespace cli
