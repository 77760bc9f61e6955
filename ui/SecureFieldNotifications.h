// SPDX-License-Identifier: GPL-3.0-or-later
// What a secure field tells the rest of the application: its two notifications and its one log line.
#pragma once

#include <string_view>

// Posted on the default notification centre after every accepted edit, with the field as object: Updated
// once the real text has 5 or more UTF-16 code units, Cleared below that and on every clearing.
inline constexpr std::string_view kSecureTextFieldUpdated = "KOVSecureTextFieldUpdated";
inline constexpr std::string_view kSecureTextFieldCleared = "KOVSecureTextFieldCleared";

// Logged when an edit names a range outside the field's real text; the edit is refused.
inline constexpr std::string_view kCopyingToHiddenStringFailed = "Copying to hidden string failed.";
