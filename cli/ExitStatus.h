// SPDX-License-Identifier: GPL-3.0-or-later
// The exit statuses of the command-line front end, which scripts rely on.
#pragma once

namespace cli {

enum ExitStatus : int {
    ExitSuccess = 0,    // every file was processed and renamed, or every checked file opens
    ExitSomeFailed = 1, // at least one file was not
    ExitUsageError = 2, // a bad command line or an unusable passphrase: no file was touched
};

} // namespace cli
