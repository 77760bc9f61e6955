// The pending-rewrite record's text form.
#include "engine/PendingRewrite.h"

#include <charconv>
#include <cstdio>
#include <string_view>
#include <vector>

namespace engine {

namespace {

constexpr std::string_view kHeader = "brisklet pending rewrite 1";

// FNV-1a, 64 bits: enough to tell a torn write from a whole record; it guards against accidents, not
// against someone who can write to the private state directory anyway.
uint64_t checksum(std::string_view text) {
    uint64_t hash = 0xcbf29ce484222325;
    for (const char c : text) {
        hash ^= static_cast<uint8_t>(c);
        hash *= 0x100000001b3;
    }
    return hash;
}

std::string escaped(const std::string& raw) {
    std::string out;
    for (const char c : raw) {
        const auto byte = static_cast<uint8_t>(c);
        if (byte < 0x20 || byte == 0x7f || c == '\\') {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> unescaped(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        unsigned value = 0;
        if (i + 3 >= text.size() || text[i + 1] != 'x' ||
            std::from_chars(text.data() + i + 2, text.data() + i + 4, value, 16).ptr != text.data() + i + 4) {
            return std::nullopt;
        }
        out += static_cast<char>(value);
        i += 3;
    }
    return out;
}

template <typename T>
std::optional<T> number(std::string_view text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// The record's fields in their fixed order; encoding and decoding walk the same list.
struct Fields {
    std::vector<std::pair<std::string_view, std::string>> lines;
};

Fields fieldsOf(const PendingRewrite& r) {
    return {{
        {"direction", r.direction == RewriteDirection::Encrypt ? "encrypt" : "decrypt"},
        {"file", escaped(r.file.string())},
        {"target", escaped(r.target.string())},
        {"device", std::to_string(r.identity.device)},
        {"inode", std::to_string(r.identity.inode)},
        {"birth", std::to_string(r.identity.birthNanoseconds)},
        {"length", std::to_string(r.originalLength)},
        {"modified", std::to_string(r.originalModifiedNanoseconds)},
        {"final-length", std::to_string(r.finalLength)},
        {"replacement", escaped(r.replacement.string())},
        {"replacement-length", std::to_string(r.replacementLength)},
    }};
}

} // namespace

std::string encodePendingRewrite(const PendingRewrite& record) {
    std::string text(kHeader);
    text += '\n';
    for (const auto& [key, value] : fieldsOf(record).lines) {
        text.append(key).append(" ").append(value).append("\n");
    }
    char sum[32];
    std::snprintf(sum, sizeof sum, "check %016llx\n", static_cast<unsigned long long>(checksum(text)));
    return text + sum;
}

std::optional<PendingRewrite> decodePendingRewrite(std::span<const char> bytes) {
    const std::string_view text(bytes.data(), bytes.size());
    const size_t checkLine = text.rfind("check ");
    if (checkLine == std::string_view::npos || !text.ends_with('\n')) {
        return std::nullopt;
    }
    uint64_t stated = 0;
    const std::string_view hex = text.substr(checkLine + 6, text.size() - checkLine - 7);
    if (std::from_chars(hex.data(), hex.data() + hex.size(), stated, 16).ptr != hex.data() + hex.size() ||
        hex.size() != 16) {
        return std::nullopt;
    }
    const std::string_view body = text.substr(0, checkLine);
    if (checksum(body) != stated || !body.starts_with(kHeader) || body.size() <= kHeader.size() ||
        body[kHeader.size()] != '\n') {
        return std::nullopt;
    }

    std::vector<std::pair<std::string_view, std::string_view>> lines;
    std::string_view rest = body.substr(kHeader.size() + 1);
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        const size_t space = rest.find(' ');
        if (end == std::string_view::npos || space == std::string_view::npos || space > end) {
            return std::nullopt;
        }
        lines.emplace_back(rest.substr(0, space), rest.substr(space + 1, end - space - 1));
        rest.remove_prefix(end + 1);
    }
    const Fields expected = fieldsOf(PendingRewrite{});
    if (lines.size() != expected.lines.size()) {
        return std::nullopt;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].first != expected.lines[i].first) {
            return std::nullopt;
        }
    }

    PendingRewrite record;
    const auto value = [&](size_t i) { return lines[i].second; };
    if (value(0) != "encrypt" && value(0) != "decrypt") {
        return std::nullopt;
    }
    record.direction = value(0) == "encrypt" ? RewriteDirection::Encrypt : RewriteDirection::Decrypt;
    const auto file = unescaped(value(1));
    const auto target = unescaped(value(2));
    const auto device = number<uint64_t>(value(3));
    const auto inode = number<uint64_t>(value(4));
    const auto birth = number<int64_t>(value(5));
    const auto length = number<uint64_t>(value(6));
    const auto modified = number<int64_t>(value(7));
    const auto finalLength = number<uint64_t>(value(8));
    const auto replacement = unescaped(value(9));
    const auto replacementLength = number<uint64_t>(value(10));
    if (!file || !target || !device || !inode || !birth || !length || !modified || !finalLength ||
        !replacement || !replacementLength) {
        return std::nullopt;
    }
    record.file = *file;
    record.target = *target;
    record.identity = {*device, *inode, *birth};
    record.originalLength = *length;
    record.originalModifiedNanoseconds = *modified;
    record.finalLength = *finalLength;
    record.replacement = *replacement;
    record.replacementLength = *replacementLength;
    return record;
}

} // namespace engine
