// SPDX-License-Identifier: GPL-3.0-or-later
// Little-endian encoding of the journal's envelope and header.
#include "engine/JournalFormat.h"

#include "engine/Checksum.h"

#include <cstring>
#include <limits>

namespace engine {

namespace {

constexpr std::array<uint8_t, 8> kMagic = {'B', 'R', 'S', 'K', 'J', 'R', 'N', 'L'};
// Bits of an entry's flags byte.
constexpr uint8_t kHasGeneration = 1;
constexpr uint8_t kHasBirth = 2;
constexpr uint8_t kStableInodes = 4;
// Entries a header may hold, and names' lengths: far above what a batch makes, far below what a
// damaged length field could claim.
constexpr uint32_t kEntryLimit = 1u << 20;
constexpr uint16_t kNameLimit = 4096;

class Writer {
public:
    explicit Writer(std::vector<uint8_t>& out) : m_out(out) {}
    template <typename T>
    void number(T value) {
        using U = std::make_unsigned_t<T>;
        auto bits = static_cast<U>(value);
        for (size_t i = 0; i < sizeof(T); ++i) {
            m_out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
        }
    }
    void text(std::string_view s) {
        number(static_cast<uint16_t>(s.size()));
        m_out.insert(m_out.end(), s.begin(), s.end());
    }
    void times(const FileTimes& t) {
        number(t.length);
        number(t.modifiedNanoseconds);
        number(t.changedNanoseconds);
    }

private:
    std::vector<uint8_t>& m_out;
};

class Reader {
public:
    explicit Reader(std::span<const uint8_t> in) : m_in(in) {}
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_in.empty(); }
    template <typename T>
    T number() {
        using U = std::make_unsigned_t<T>;
        if (m_in.size() < sizeof(T)) {
            m_ok = false;
            return T{};
        }
        U bits = 0;
        for (size_t i = 0; i < sizeof(T); ++i) {
            bits |= static_cast<U>(static_cast<U>(m_in[i]) << (8 * i));
        }
        m_in = m_in.subspan(sizeof(T));
        return static_cast<T>(bits);
    }
    std::string text() {
        const auto length = number<uint16_t>();
        if (!m_ok || length > kNameLimit || m_in.size() < length) {
            m_ok = false;
            return {};
        }
        std::string s(reinterpret_cast<const char*>(m_in.data()), length);
        m_in = m_in.subspan(length);
        return s;
    }
    FileTimes times() {
        FileTimes t;
        t.length = number<uint64_t>();
        t.modifiedNanoseconds = number<int64_t>();
        t.changedNanoseconds = number<int64_t>();
        return t;
    }
    uint64_t remaining() const { return m_in.size(); }

private:
    std::span<const uint8_t> m_in;
    bool m_ok = true;
};

bool isName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

uint64_t headerChecksum(std::span<const uint8_t> envelopeBytes, std::span<const uint8_t> header) {
    ChecksumStream sum;
    sum.update(envelopeBytes.first(24));
    sum.update(header);
    return sum.digest();
}

} // namespace

std::vector<uint8_t> encodeJournalHeader(const std::vector<JournalEntry>& entries) {
    std::vector<uint8_t> out;
    Writer w(out);
    w.number(static_cast<uint32_t>(entries.size()));
    for (const JournalEntry& e : entries) {
        w.number(static_cast<uint8_t>(e.direction));
        const uint8_t flags = (e.generation ? kHasGeneration : 0) | (e.birthNanoseconds ? kHasBirth : 0) |
                              (e.stableInodes ? kStableInodes : 0);
        w.number(flags);
        w.text(e.name);
        w.text(e.target);
        w.number(e.inode);
        w.number(e.generation.value_or(0));
        w.number(e.birthNanoseconds.value_or(0));
        w.number(e.originalLength);
        w.number(e.finalLength);
        w.times(e.beforeProbe);
        w.times(e.afterProbe);
        w.number(e.payloadOffset);
        w.number(e.payloadChecksum);
        w.number(static_cast<uint64_t>(e.originalBlocks.size()));
        for (const uint64_t block : e.originalBlocks) {
            w.number(block);
        }
    }
    return out;
}

EnvelopeBytes encodeJournalEnvelope(std::span<const uint8_t> header, uint64_t headerOffset) {
    std::vector<uint8_t> out(kMagic.begin(), kMagic.end());
    Writer w(out);
    w.number(kJournalVersion);
    w.number(static_cast<uint32_t>(header.size()));
    w.number(headerOffset);
    w.number(headerChecksum(out, header));
    EnvelopeBytes bytes{};
    std::memcpy(bytes.data(), out.data(), bytes.size());
    return bytes;
}

std::optional<JournalEnvelope> decodeJournalEnvelope(std::span<const uint8_t> bytes) {
    if (bytes.size() < kJournalEnvelopeLength || !std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) {
        return std::nullopt;
    }
    Reader r(bytes.subspan(kMagic.size()));
    JournalEnvelope envelope;
    envelope.version = r.number<uint32_t>();
    envelope.headerLength = r.number<uint32_t>();
    envelope.headerOffset = r.number<uint64_t>();
    envelope.headerChecksum = r.number<uint64_t>();
    return envelope;
}

bool journalHeaderMatches(const JournalEnvelope& envelope, std::span<const uint8_t> envelopeBytes,
                          std::span<const uint8_t> header) {
    return envelopeBytes.size() >= kJournalEnvelopeLength && header.size() == envelope.headerLength &&
           headerChecksum(envelopeBytes, header) == envelope.headerChecksum;
}

std::optional<std::vector<JournalEntry>> decodeJournalHeader(std::span<const uint8_t> header) {
    Reader r(header);
    const auto count = r.number<uint32_t>();
    if (!r.ok() || count > kEntryLimit) {
        return std::nullopt;
    }
    std::vector<JournalEntry> entries;
    for (uint32_t i = 0; i < count && r.ok(); ++i) {
        JournalEntry e;
        const auto direction = r.number<uint8_t>();
        const auto flags = r.number<uint8_t>();
        e.direction = direction == 0 ? RewriteDirection::Encrypt : RewriteDirection::Decrypt;
        e.name = r.text();
        e.target = r.text();
        e.inode = r.number<uint64_t>();
        const auto generation = r.number<uint64_t>();
        const auto birth = r.number<int64_t>();
        e.generation = (flags & kHasGeneration) != 0 ? std::optional(generation) : std::nullopt;
        e.birthNanoseconds = (flags & kHasBirth) != 0 ? std::optional(birth) : std::nullopt;
        e.stableInodes = (flags & kStableInodes) != 0;
        e.originalLength = r.number<uint64_t>();
        e.finalLength = r.number<uint64_t>();
        e.beforeProbe = r.times();
        e.afterProbe = r.times();
        e.payloadOffset = r.number<uint64_t>();
        e.payloadChecksum = r.number<uint64_t>();
        const auto blocks = r.number<uint64_t>();
        if (!r.ok() || direction > 1 || blocks > r.remaining() / 8 || !isName(e.name) || !isName(e.target) ||
            e.payloadOffset > std::numeric_limits<uint64_t>::max() - e.finalLength) {
            return std::nullopt;
        }
        e.originalBlocks.resize(static_cast<size_t>(blocks));
        for (auto& block : e.originalBlocks) {
            block = r.number<uint64_t>();
        }
        entries.push_back(std::move(e));
    }
    if (!r.ok() || !r.atEnd()) {
        return std::nullopt;
    }
    return entries;
}

} // namespace engine
