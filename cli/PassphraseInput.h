// SPDX-License-Identifier: GPL-3.0-or-later
// Obtains the passphrase from the source the command line names, or else from the terminal.
#pragma once

#include "cli/Arguments.h"
#include "cli/SecretText.h"

#include <optional>
#include <string>

namespace cli {

struct PassphraseInput {
    std::optional<SecretUtf16> passphrase; // set when usable: not empty and valid UTF-8
    std::string error;                     // otherwise a sentence for the user
};

// From --passphrase-file or --passphrase-fd when given, else asked on the terminal; asked twice when
// `confirm` is set and compared. An empty passphrase is refused, since it would key every file alike.
PassphraseInput obtainPassphrase(const Arguments& arguments, bool confirm);

} // namespace cli
