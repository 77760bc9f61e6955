// SPDX-License-Identifier: GPL-3.0-or-later
// The message a later launch sends to the running window: its request and the token that lets it be raised.
#pragma once

#include "ui/LaunchRequest.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QMetaType>

#include <optional>

// On the wire, integers big-endian:
//   magic "BRSKHAND" (8 bytes), version (u16, 1), direction (u8: 0 none, 1 encrypt, 2 decrypt),
//   token length (u32) and token bytes, path count (u32), then per path its length (u32) and bytes.
// Paths are bytes as the file system spells them, in no particular encoding. Nothing follows the last
// path.
struct HandOffMessage {
    static constexpr uint16_t kVersion = 1;
    // More than any activation token or path that a desktop makes; longer ones make the message invalid.
    static constexpr qsizetype kMaxTokenBytes = 4096;
    static constexpr qsizetype kMaxPathBytes = 4096;
    // The most a running window reads from one later launch: some hundred thousand files.
    static constexpr qsizetype kMaxMessageBytes = 64 * 1024 * 1024;

    LaunchRequest request;
    // The desktop's activation token of the later launch (XDG_ACTIVATION_TOKEN on Wayland,
    // DESKTOP_STARTUP_ID on X11); empty when it had none.
    QByteArray activationToken;

    bool operator==(const HandOffMessage&) const = default;

    // Whether a desktop's token may travel in the message: printable ASCII without spaces, not too long.
    static bool isValidToken(QByteArrayView token);

    QByteArray encode() const;
    // None for anything but a whole message of this version: another magic, another version, an unknown
    // direction, a message cut short or with bytes after its end, a token that is not printable ASCII, a
    // path that is empty, relative, too long or holds a NUL byte.
    static std::optional<HandOffMessage> decode(QByteArrayView bytes);
};

Q_DECLARE_METATYPE(HandOffMessage)
