// SPDX-License-Identifier: GPL-3.0-or-later
// C-style escaping of names, with a strict UTF-8 check deciding which non-ASCII bytes pass.
#include "cli/NameEscaping.h"

#include "cli/Utf8ToUtf16.h"

#include <cstdint>

namespace cli {

namespace {

uint8_t byteAt(std::string_view text, std::size_t i) {
    return static_cast<uint8_t>(text[i]);
}

void appendHexEscape(std::string& out, uint8_t byte) {
    constexpr char kDigits[] = "0123456789abcdef";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0f];
}

} // namespace

std::string escapeName(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const uint8_t byte = byteAt(bytes, i);
        if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte == '\\') {
            out += "\\\\";
        } else if (byte < 0x20 || byte == 0x7f) {
            appendHexEscape(out, byte);
        } else if (byte < 0x80) {
            out += static_cast<char>(byte);
        } else if (const auto character = firstCharacter(bytes.substr(i))) {
            out.append(bytes.substr(i, character->length));
            i += character->length;
            continue;
        } else {
            // Only this byte: what follows may still start a well-formed sequence of its own.
            appendHexEscape(out, byte);
        }
        ++i;
    }
    return out;
}

} // namespace cli
