// SPDX-License-Identifier: GPL-3.0-or-later
// The command line, parsed into what to do, on which paths and where the passphrase comes from.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace cli {

enum class Command {
    Encrypt,
    Decrypt,
    Check,
    Guess,
    Colors,
    Recover,
};

enum class Action {
    Run,         // run `command`
    ShowHelp,    // --help
    ShowVersion, // --version
    UsageError,  // `error` says what is wrong
};

struct Arguments {
    Action action = Action::UsageError;
    std::string error;
    Command command = Command::Encrypt;
    std::vector<std::filesystem::path> paths;
    // At most one of the two is set; with neither, the passphrase is asked on the terminal.
    std::optional<std::filesystem::path> passphraseFile;
    std::optional<int> passphraseFd;
    // encrypt and decrypt --output-dir DIR: copies go there, the originals stay.
    std::optional<std::filesystem::path> outputDir;
    bool noConfirm = false;
    bool discard = false;          // recover --discard JOURNAL
    bool includeEncrypted = false; // encrypt: also the files ending in .brisklet found in folders
};

// Whether the one PATH is "-": standard input and output instead of files.
bool usesStandardStreams(const Arguments& arguments);

// Parses the arguments after the program name. Options may come before or after the command and the
// paths; "--" ends the options, so that later arguments are paths even when they start with '-'. The first
// --help or --version wins over everything after it; the first problem found is the error. The
// passphrase itself is never taken from the command line, where other users could read it.
Arguments parseArguments(const std::vector<std::string>& args);

} // namespace cli
