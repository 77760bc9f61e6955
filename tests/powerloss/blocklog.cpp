// SPDX-License-Identifier: GPL-3.0-or-later
// A FUSE file system of one file, "disk", backed by an image, that logs every write and every fsync in order.
//   blocklog IMAGE LOG MOUNTPOINT
// A loop device over MOUNTPOINT/disk then records every block write and cache flush of the file system on it.
// The log is a sequence of records, each a 16-byte little-endian header {kind, 3 zero bytes, u32 length, u64
// offset} followed, for kind 'W', by the length bytes written; kind 'F' marks an fsync (the loop device's
// cache flush) and carries no bytes. The program runs in the foreground and single-threaded, so the log's
// order is the order in which the kernel handed the requests over.
#define FUSE_USE_VERSION 31

#include <fuse.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kDiskPath = "/disk";

struct Logger {
    int image = -1;
    off_t size = 0;
    std::FILE* log = nullptr;
    bool failed = false;
};

Logger g_logger;

void appendRecord(char kind, uint64_t offset, const char* data, uint32_t length) {
    std::array<unsigned char, 16> header{};
    header[0] = static_cast<unsigned char>(kind);
    for (int i = 0; i < 4; ++i) {
        header[4 + i] = static_cast<unsigned char>(length >> (8 * i));
    }
    for (int i = 0; i < 8; ++i) {
        header[8 + i] = static_cast<unsigned char>(offset >> (8 * i));
    }
    if (std::fwrite(header.data(), header.size(), 1, g_logger.log) != 1 ||
        (length > 0 && std::fwrite(data, length, 1, g_logger.log) != 1)) {
        g_logger.failed = true;
    }
}

int getattrOp(const char* path, struct stat* st, fuse_file_info*) {
    std::memset(st, 0, sizeof *st);
    if (std::strcmp(path, "/") == 0) {
        st->st_mode = S_IFDIR | 0700;
        st->st_nlink = 2;
        return 0;
    }
    if (std::strcmp(path, kDiskPath) == 0) {
        st->st_mode = S_IFREG | 0600;
        st->st_nlink = 1;
        st->st_size = g_logger.size;
        return 0;
    }
    return -ENOENT;
}

int readdirOp(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
              fuse_readdir_flags) {
    if (std::strcmp(path, "/") != 0) {
        return -ENOENT;
    }
    fill(buffer, ".", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    fill(buffer, "..", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    fill(buffer, kDiskPath + 1, nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    return 0;
}

int openOp(const char* path, fuse_file_info*) {
    return std::strcmp(path, kDiskPath) == 0 ? 0 : -ENOENT;
}

int readOp(const char*, char* buffer, size_t size, off_t offset, fuse_file_info*) {
    const ssize_t done = ::pread(g_logger.image, buffer, size, offset);
    return done < 0 ? -errno : static_cast<int>(done);
}

int writeOp(const char*, const char* data, size_t size, off_t offset, fuse_file_info*) {
    // The disk does not grow: a write past its end is an error, as it is on a real device.
    if (offset < 0 || offset + static_cast<off_t>(size) > g_logger.size) {
        return -ENOSPC;
    }
    appendRecord('W', static_cast<uint64_t>(offset), data, static_cast<uint32_t>(size));
    size_t done = 0;
    while (done < size) {
        const ssize_t n =
            ::pwrite(g_logger.image, data + done, size - done, offset + static_cast<off_t>(done));
        if (n < 0) {
            return -errno;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<int>(size);
}

// The image itself need not reach the disk: the replayer rebuilds every state from the pre-state and the
// log. The log is written out at each flush so that a crash of this program keeps the flushed part.
int fsyncOp(const char*, int, fuse_file_info*) {
    appendRecord('F', 0, nullptr, 0);
    if (std::fflush(g_logger.log) != 0) {
        g_logger.failed = true;
    }
    return g_logger.failed ? -EIO : 0;
}

int truncateOp(const char*, off_t size, fuse_file_info*) {
    return size == g_logger.size ? 0 : -EPERM;
}

void* initOp(fuse_conn_info*, fuse_config* config) {
    // Every read comes to this program, so the kernel's page cache never hides the image's content.
    config->direct_io = 0;
    config->kernel_cache = 0;
    return nullptr;
}

void destroyOp(void*) {
    if (std::fclose(g_logger.log) != 0) {
        g_logger.failed = true;
    }
    g_logger.log = nullptr;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s IMAGE LOG MOUNTPOINT\n", argv[0]);
        return 2;
    }
    g_logger.image = ::open(argv[1], O_RDWR | O_CLOEXEC);
    struct stat st {};
    if (g_logger.image < 0 || ::fstat(g_logger.image, &st) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    g_logger.size = st.st_size;
    g_logger.log = std::fopen(argv[2], "wbe");
    if (g_logger.log == nullptr) {
        std::perror(argv[2]);
        return 1;
    }

    fuse_operations operations{};
    operations.getattr = getattrOp;
    operations.readdir = readdirOp;
    operations.open = openOp;
    operations.read = readOp;
    operations.write = writeOp;
    operations.fsync = fsyncOp;
    operations.truncate = truncateOp;
    operations.init = initOp;
    operations.destroy = destroyOp;

    char foreground[] = "-f";
    char singleThreaded[] = "-s";
    char* fuseArgs[] = {argv[0], foreground, singleThreaded, argv[3], nullptr};
    const int status = fuse_main(4, fuseArgs, &operations, nullptr);
    if (g_logger.failed) {
        std::fprintf(stderr, "blocklog: the log %s could not be written\n", argv[2]);
        return 1;
    }
    return status;
}
