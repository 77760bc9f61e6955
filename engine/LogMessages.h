// The engine's log sentences, shared by the code that logs them and the tests that expect them.
#pragma once

#include <string>
#include <string_view>

namespace engine::logmsg {

inline constexpr std::string_view kMakeKeyFailed = "makeKey failed";
inline constexpr std::string_view kBadNumberOfBitsProcessed = "bad number of bits processed";
inline constexpr std::string_view kWritingToFileFailed = "writing to file failed";
inline constexpr std::string_view kCouldNotRenameFile = "could not rename file";
inline constexpr std::string_view kPassphraseMightBeWrong =
    "file did not decrypt to original plain text file - passphrase might be wrong";
inline constexpr std::string_view kCouldNotTruncateFile = "could not truncate file";
inline constexpr std::string_view kMkstempFailed = "mkstemp failed";
inline constexpr std::string_view kCouldNotWriteToTempFile = "could not write to temp file";
inline constexpr std::string_view kCouldNotGetLengthOfTmpFile = "could not get length of tmp file";
inline constexpr std::string_view kCouldNotReadFromTmpFile = "could not read from tmp file";
inline constexpr std::string_view kCouldNotDeleteTemporaryFilePrefix = "could not delete temporary file: ";

// "could not delete temporary file: " followed by the deletion error's description.
inline std::string couldNotDeleteTemporaryFile(std::string_view errorDescription) {
    std::string line(kCouldNotDeleteTemporaryFilePrefix);
    line.append(errorDescription);
    return line;
}

// Follows "writing to file failed" when the user's file may be incomplete: where its full replacement is.
inline std::string replacementKeptAt(std::string_view path) {
    std::string line("the complete replacement of the file was kept at: ");
    line.append(path);
    return line;
}

} // namespace engine::logmsg
