// SPDX-License-Identifier: GPL-3.0-or-later
// The message a later launch sends to the running window: its request and the token that lets it be raised.
#include "ui/HandOffMessage.h"

#include <QtEndian>

#include <algorithm>

namespace {

constexpr QByteArrayView kMagic("BRSKHAND");

template <typename T>
void append(QByteArray& out, T value) {
    const T big = qToBigEndian(value);
    out.append(reinterpret_cast<const char*>(&big), sizeof big);
}

void appendBlock(QByteArray& out, const QByteArray& block) {
    append(out, static_cast<uint32_t>(block.size()));
    out.append(block);
}

// Reads forward through the bytes; every read checks that what it needs is there.
class Reader {
public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes) {}

    qsizetype remaining() const { return m_bytes.size() - m_offset; }

    std::optional<QByteArrayView> take(qsizetype length) {
        if (length < 0 || length > remaining()) {
            return std::nullopt;
        }
        const QByteArrayView part = m_bytes.sliced(m_offset, length);
        m_offset += length;
        return part;
    }

    template <typename T>
    std::optional<T> number() {
        const std::optional<QByteArrayView> part = take(sizeof(T));
        if (!part) {
            return std::nullopt;
        }
        return qFromBigEndian<T>(part->data());
    }

    std::optional<QByteArrayView> block(qsizetype maxLength) {
        const std::optional<uint32_t> length = number<uint32_t>();
        if (!length || *length > static_cast<uint64_t>(maxLength)) {
            return std::nullopt;
        }
        return take(static_cast<qsizetype>(*length));
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_offset = 0;
};

bool validPath(QByteArrayView path) {
    return path.startsWith('/') && !path.contains('\0');
}

} // namespace

bool HandOffMessage::isValidToken(QByteArrayView token) {
    return token.size() <= kMaxTokenBytes &&
           std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 0x7f; });
}

QByteArray HandOffMessage::encode() const {
    QByteArray out;
    out.append(kMagic);
    append(out, kVersion);
    append(out, static_cast<uint8_t>(request.direction));
    appendBlock(out, activationToken);
    append(out, static_cast<uint32_t>(request.paths.size()));
    for (const QByteArray& path : request.paths) {
        appendBlock(out, path);
    }
    return out;
}

std::optional<HandOffMessage> HandOffMessage::decode(QByteArrayView bytes) {
    Reader reader(bytes);
    const std::optional<QByteArrayView> magic = reader.take(kMagic.size());
    if (!magic || *magic != kMagic) {
        return std::nullopt;
    }
    const std::optional<uint16_t> version = reader.number<uint16_t>();
    if (!version || *version != kVersion) {
        return std::nullopt;
    }
    const std::optional<uint8_t> direction = reader.number<uint8_t>();
    if (!direction || *direction > static_cast<uint8_t>(LaunchDirection::Decrypt)) {
        return std::nullopt;
    }
    const std::optional<QByteArrayView> token = reader.block(kMaxTokenBytes);
    if (!token || !isValidToken(*token)) {
        return std::nullopt;
    }
    const std::optional<uint32_t> count = reader.number<uint32_t>();
    // Each path takes at least its length and one byte: a larger count cannot be true.
    if (!count || *count > static_cast<uint64_t>(reader.remaining() / 5)) {
        return std::nullopt;
    }
    HandOffMessage message;
    message.request.direction = static_cast<LaunchDirection>(*direction);
    message.activationToken = token->toByteArray();
    message.request.paths.reserve(*count);
    for (uint32_t i = 0; i < *count; ++i) {
        const std::optional<QByteArrayView> path = reader.block(kMaxPathBytes);
        if (!path || !validPath(*path)) {
            return std::nullopt;
        }
        message.request.paths.push_back(path->toByteArray());
    }
    if (reader.remaining() != 0) {
        return std::nullopt;
    }
    return message;
}
