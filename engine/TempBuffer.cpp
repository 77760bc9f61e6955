// TempBuffer: the replacement file's creation, the in-memory tail, reads back and deletion.
#include "engine/TempBuffer.h"

#include "engine/LogMessages.h"
#include "engine/RewriteStore.h"
#include "platform/ErrorText.h"
#include "platform/FaultInjection.h"
#include "platform/FileManager.h"
#include "platform/FileStatus.h"
#include "platform/Log.h"
#include "platform/SecureRandom.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

namespace engine {

namespace {

constexpr const char* kFileNameTemplate = "kov.XXXXXXXXXX";
constexpr size_t kXCount = 10;
// glibc's mkstemp replaces only the last six X characters.
constexpr size_t kXReplacedByMkstemp = 6;
constexpr int kCreationAttempts = 8;

// Draws the X characters that mkstemp leaves in place, so that all ten are random as the name promises.
void randomizeLeadingXs(std::string& pathTemplate) {
    static constexpr std::string_view kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::array<uint8_t, kXCount - kXReplacedByMkstemp> random{};
    if (!platform::secureRandomBytes(random.data(), random.size())) {
        return;
    }
    const size_t first = pathTemplate.size() - kXCount;
    for (size_t i = 0; i < random.size(); ++i) {
        pathTemplate[first + i] = kAlphabet[random[i] % kAlphabet.size()];
    }
}

} // namespace

TempBuffer::TempBuffer(std::unique_ptr<platform::FileHandle> fileHandle, std::filesystem::path path)
    : m_fileHandle(std::move(fileHandle)), m_path(std::move(path)) {}

TempBuffer::~TempBuffer() {
    close();
}

std::unique_ptr<TempBuffer> TempBuffer::init() {
    const auto store = RewriteStore::open();
    if (!store) {
        platform::log(logmsg::kMkstempFailed);
        return nullptr;
    }
    return initIn(store->directory());
}

std::unique_ptr<TempBuffer> TempBuffer::initIn(const std::filesystem::path& directory) {
    // A clean-up in another process may remove a new name before it is locked; then draw another.
    for (int attempt = 0; attempt < kCreationAttempts; ++attempt) {
        std::string pathTemplate = (directory / kFileNameTemplate).string();
        randomizeLeadingXs(pathTemplate);
        const int fd =
            platform::shouldFail(platform::FaultPoint::CreateTemp) ? -1 : ::mkstemp(pathTemplate.data());
        if (fd < 0) {
            break;
        }
        auto fileHandle = std::make_unique<platform::FileHandle>(fd);
        try {
            std::filesystem::path path(pathTemplate);
            const auto named = platform::statusOfPath(path, platform::FollowLinks::No);
            const auto open = platform::statusOfDescriptor(fd);
            if (fileHandle->tryLock() == platform::FileHandle::LockResult::Locked && named && open &&
                named->identity == open->identity) {
                return std::unique_ptr<TempBuffer>(new TempBuffer(std::move(fileHandle), std::move(path)));
            }
        } catch (...) {
            // Only allocation can fail here; the file mkstemp made must not outlive the attempt.
            ::unlink(pathTemplate.c_str());
            throw;
        }
        ::unlink(pathTemplate.c_str());
    }
    platform::log(logmsg::kMkstempFailed);
    return nullptr;
}

void TempBuffer::appendBytes(const void* src, uint64_t length) {
    if (m_dumpFailed || length == 0) {
        return;
    }
    const auto* bytes = static_cast<const uint8_t*>(src);
    // A large piece with nothing held before it goes to the file as it is, without a copy in memory.
    if (m_currentData.empty() && length > kMemoryLimit) {
        writeToFile(bytes, length);
        return;
    }
    m_currentData.insert(m_currentData.end(), bytes, bytes + length);
    if (m_currentData.size() > kMemoryLimit) {
        dumpBuffer();
    }
}

void TempBuffer::dumpBuffer() {
    if (m_currentData.empty() || m_dumpFailed) {
        return;
    }
    if (writeToFile(m_currentData.data(), m_currentData.size())) {
        m_currentData.clear();
    }
}

bool TempBuffer::writeToFile(const uint8_t* bytes, uint64_t length) {
    if (!m_fileHandle || !m_fileHandle->writeAt(bytes, static_cast<size_t>(length), m_fileLength)) {
        const int error = errno;
        m_dumpFailed = true;
        m_currentData.clear();
        m_currentData.shrink_to_fit();
        platform::log(logmsg::kCouldNotWriteToTempFile);
        platform::note(platform::errorText(error));
        return false;
    }
    // The replacement must reach the disk before the user's file is touched; starting now overlaps that
    // with the work still to come.
    m_fileHandle->startWriteback(m_fileLength, length);
    m_fileLength += length;
    return true;
}

uint64_t TempBuffer::length() {
    return m_fileLength + m_currentData.size();
}

std::optional<std::vector<uint8_t>> TempBuffer::readDataAtOffset(uint64_t offset, uint64_t length) {
    if (!failed() && m_fileLength == 0) {
        // Callers stay within the held bytes; clamping keeps any other request in bounds.
        const size_t begin = static_cast<size_t>(std::min<uint64_t>(offset, m_currentData.size()));
        const size_t end =
            begin + static_cast<size_t>(std::min<uint64_t>(length, m_currentData.size() - begin));
        return std::vector<uint8_t>(m_currentData.begin() + begin, m_currentData.begin() + end);
    }
    dumpBuffer();
    std::optional<std::vector<uint8_t>> data;
    if (!failed()) {
        data = m_fileHandle->readDataAt(offset,
                                        offset < m_fileLength ? std::min(length, m_fileLength - offset) : 0);
    }
    if (!data) {
        platform::log(logmsg::kCouldNotReadFromTmpFile);
    }
    return data;
}

bool TempBuffer::flush() {
    dumpBuffer();
    return !failed();
}

bool TempBuffer::sync() {
    if (!flush()) {
        return false;
    }
    if (!m_fileHandle->sync()) {
        platform::log(logmsg::kCouldNotWriteToTempFile);
        m_dumpFailed = true;
        return false;
    }
    return true;
}

void TempBuffer::close() {
    if (!m_fileHandle) {
        return;
    }
    m_fileHandle->close();
    m_fileHandle.reset();
    if (m_keep) {
        return;
    }
    if (const std::optional<std::string> error = platform::removeItem(m_path)) {
        platform::log(logmsg::couldNotDeleteTemporaryFile(*error));
    }
}

} // namespace engine
