// SPDX-License-Identifier: GPL-3.0-or-later
// Command-line parsing: commands, options with their values, and the checks between them.
#include "cli/Arguments.h"

#include "cli/NameEscaping.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>
#include <utility>

namespace cli {

namespace {

struct CommandName {
    std::string_view name;
    Command command;
};

constexpr std::array<CommandName, 6> kCommands{{
    {"encrypt", Command::Encrypt},
    {"decrypt", Command::Decrypt},
    {"check", Command::Check},
    {"guess", Command::Guess},
    {"colors", Command::Colors},
    {"recover", Command::Recover},
}};

// The commands that work on no PATH, and those for which the PATHs are optional.
bool takesNoPaths(Command command) {
    return command == Command::Colors;
}

bool pathsOptional(Command command) {
    return command == Command::Recover;
}

std::optional<Command> commandNamed(std::string_view name) {
    for (const auto& entry : kCommands) {
        if (entry.name == name) {
            return entry.command;
        }
    }
    return std::nullopt;
}

std::optional<int> descriptorNumber(std::string_view text) {
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || number < 0) {
        return std::nullopt;
    }
    return number;
}

// A lone "-" stands for standard input, as it does for most tools; a file of that name is "./-".
constexpr std::string_view kStandardStreams = "-";

bool isStandardStreams(const std::filesystem::path& path) {
    return path.native() == kStandardStreams;
}

std::optional<std::string> standardStreamsRefusal(Command command, const Arguments& parsed) {
    const auto& paths = parsed.paths;
    if (std::none_of(paths.begin(), paths.end(), isStandardStreams)) {
        return std::nullopt;
    }
    if (command != Command::Encrypt && command != Command::Decrypt && command != Command::Check) {
        return "'-' (standard input) goes with encrypt, decrypt and check; a file named '-' is './-'";
    }
    if (paths.size() > 1) {
        return "'-' (standard input) must be the only PATH; a file named '-' is './-'";
    }
    if (parsed.passphraseFd == 0) {
        return "--passphrase-fd 0 cannot be used with '-': standard input carries the data";
    }
    return std::nullopt;
}

Arguments usageError(std::string message) {
    Arguments refused;
    refused.action = Action::UsageError;
    refused.error = std::move(message);
    return refused;
}

Arguments request(Action action) {
    Arguments requested;
    requested.action = action;
    return requested;
}

} // namespace

Arguments parseArguments(const std::vector<std::string>& args) {
    Arguments parsed;
    std::optional<Command> command;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        // A lone "-" is a path, as it is for most tools.
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (!command) {
                command = commandNamed(arg);
                if (!command) {
                    return usageError("unknown command '" + escapeName(arg) + "'");
                }
            } else {
                parsed.paths.emplace_back(arg);
            }
            continue;
        }

        std::string name = arg;
        std::optional<std::string> value;
        if (const auto equals = arg.find('='); arg.starts_with("--") && equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        const bool takesValue =
            name == "--passphrase-file" || name == "--passphrase-fd" || name == "--output-dir";
        const bool known = takesValue || name == "-h" || name == "--help" || name == "--version" ||
                           name == "--no-confirm" || name == "--discard" || name == "--include-encrypted";
        if (!known) {
            return usageError("unknown option '" + escapeName(arg) + "'");
        }
        if (value && !takesValue) {
            return usageError("option '" + escapeName(name) + "' takes no value");
        }
        if (name == "-h" || name == "--help") {
            return request(Action::ShowHelp);
        }
        if (name == "--version") {
            return request(Action::ShowVersion);
        }
        if (name == "--no-confirm") {
            parsed.noConfirm = true;
            continue;
        }
        if (name == "--discard") {
            parsed.discard = true;
            continue;
        }
        if (name == "--include-encrypted") {
            parsed.includeEncrypted = true;
            continue;
        }

        if (!value) {
            if (i + 1 == args.size()) {
                return usageError("option '" + name + "' needs a value");
            }
            value = args[++i];
        }
        if (name == "--output-dir") {
            if (parsed.outputDir || value->empty()) {
                return usageError("option '--output-dir' needs one folder name, once");
            }
            parsed.outputDir = *value;
            continue;
        }
        if (parsed.passphraseFile || parsed.passphraseFd) {
            return usageError("only one of --passphrase-file and --passphrase-fd may be given, once");
        }
        if (name == "--passphrase-file") {
            if (value->empty()) {
                return usageError("option '--passphrase-file' needs a file name");
            }
            parsed.passphraseFile = *value;
        } else {
            parsed.passphraseFd = descriptorNumber(*value);
            if (!parsed.passphraseFd) {
                return usageError("option '--passphrase-fd' needs a descriptor number, not '" +
                                  escapeName(*value) + "'");
            }
        }
    }

    if (!command) {
        return usageError("missing command");
    }
    if (takesNoPaths(*command) && !parsed.paths.empty()) {
        return usageError("the colors command takes no PATH");
    }
    if (!takesNoPaths(*command) && !pathsOptional(*command) && parsed.paths.empty()) {
        return usageError("missing PATH");
    }
    // A search over millions of keys is for one file at a time.
    if (*command == Command::Guess && parsed.paths.size() > 1) {
        return usageError("the guess command takes one FILE");
    }
    if (parsed.outputDir && *command != Command::Encrypt && *command != Command::Decrypt) {
        return usageError("--output-dir goes with encrypt and decrypt");
    }
    if (parsed.discard && (*command != Command::Recover || parsed.paths.size() != 1)) {
        return usageError("--discard goes with recover and one JOURNAL");
    }
    if (parsed.includeEncrypted && *command != Command::Encrypt) {
        return usageError("--include-encrypted goes with encrypt");
    }
    if (const auto refusal = standardStreamsRefusal(*command, parsed)) {
        return usageError(*refusal);
    }
    parsed.action = Action::Run;
    parsed.command = *command;
    return parsed;
}

bool usesStandardStreams(const Arguments& arguments) {
    return arguments.paths.size() == 1 && isStandardStreams(arguments.paths.front());
}

} // namespace cli
