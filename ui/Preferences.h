// SPDX-License-Identifier: GPL-3.0-or-later
// The two user preferences, read and written through QSettings with their registered defaults.
#pragma once

// Seconds that the latest edit of a secure field stays readable; read at every edit.
inline constexpr char kCharacterHideSeconds[] = "CharacterHideSeconds";
// Whether Encrypt asks for the passphrase a second time.
inline constexpr char kReEnterPassphrase[] = "ReEnterPassphrase";

// 1.0 while the user has stored nothing. Any stored number counts, zero and negative ones included.
float characterHideSeconds();
// True while the user has stored nothing.
bool reEnterPassphrase();

void setCharacterHideSeconds(float seconds);
void setReEnterPassphrase(bool reEnter);
