// C-style escaping of names, with a strict UTF-8 check deciding which non-ASCII bytes pass.
#include "cli/NameEscaping.h"

#include <cstdint>

namespace cli {

namespace {

// The well-formed UTF-8 sequences of the Unicode Standard, Table 3-7, by lead byte: the second byte's
// range is what rules out overlong forms, surrogates and code points above U+10FFFF; any later byte is a
// plain continuation byte (0x80-0xbf).
struct LeadRule {
    uint8_t firstLead;
    uint8_t lastLead;
    uint8_t length;
    uint8_t secondLow;
    uint8_t secondHigh;
};

constexpr LeadRule kLeadRules[] = {
    {0xc2, 0xdf, 2, 0x80, 0xbf}, // U+0080..U+07FF
    {0xe0, 0xe0, 3, 0xa0, 0xbf}, // U+0800..U+0FFF
    {0xe1, 0xec, 3, 0x80, 0xbf}, // U+1000..U+CFFF
    {0xed, 0xed, 3, 0x80, 0x9f}, // U+D000..U+D7FF, short of the surrogates
    {0xee, 0xef, 3, 0x80, 0xbf}, // U+E000..U+FFFF
    {0xf0, 0xf0, 4, 0x90, 0xbf}, // U+10000..U+3FFFF
    {0xf1, 0xf3, 4, 0x80, 0xbf}, // U+40000..U+FFFFF
    {0xf4, 0xf4, 4, 0x80, 0x8f}, // U+100000..U+10FFFF
};

uint8_t byteAt(std::string_view text, std::size_t i) {
    return static_cast<uint8_t>(text[i]);
}

// The length of the well-formed multi-byte sequence that `text` starts with, or 0 when it starts with none.
std::size_t sequenceLength(std::string_view text) {
    const uint8_t lead = byteAt(text, 0);
    for (const LeadRule& rule : kLeadRules) {
        if (lead < rule.firstLead || lead > rule.lastLead) {
            continue;
        }
        if (text.size() < rule.length || byteAt(text, 1) < rule.secondLow ||
            byteAt(text, 1) > rule.secondHigh) {
            return 0;
        }
        for (std::size_t i = 2; i < rule.length; ++i) {
            if ((byteAt(text, i) & 0xc0) != 0x80) {
                return 0;
            }
        }
        return rule.length;
    }
    return 0;
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
        } else if (const std::size_t length = sequenceLength(bytes.substr(i)); length > 0) {
            out.append(bytes.substr(i, length));
            i += length;
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
