#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "common/atomic_file.h"

namespace vt {

std::optional<std::string> ReadFileBytes(const std::filesystem::path& file) {
    FileContents c = ReadFileForRewrite(file, false);
    if (c.state != FileContents::Read) return std::nullopt;
    return std::move(c.bytes);
}

FileContents ReadFileForRewrite(const std::filesystem::path& file, bool /*wait*/) {
    // Nothing here holds a file the way Windows share modes do, so there is
    // nobody to wait for: a file that cannot be opened now will not open later.
    FileContents out;
    // O_NONBLOCK: a pipe under a data file's name must not hang the reader.
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        out.state = (errno == ENOENT) ? FileContents::Missing : FileContents::Unreadable;
        return out;
    }
    out.state = FileContents::Unreadable;
    struct stat st;
    // A folder or device where a data file should be is there but unreadable.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        try {
            std::string bytes;
            bytes.reserve(static_cast<size_t>(st.st_size));
            char buf[65536];
            for (;;) {
                ssize_t n = ::read(fd, buf, sizeof buf);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) break;
                if (n == 0) {
                    out.state = FileContents::Read;
                    out.bytes = std::move(bytes);
                    break;
                }
                bytes.append(buf, static_cast<size_t>(n));
            }
        } catch (const std::bad_alloc&) {
            out.bytes.clear();
        }
    }
    ::close(fd);
    return out;
}

uint64_t NextAtomicTempTag() {
    static std::atomic<uint32_t> counter{0};
    return (static_cast<uint64_t>(::getpid()) << 32) | counter.fetch_add(1);
}

bool WriteFileAtomic(const std::filesystem::path& file, std::string_view bytes) {
    std::filesystem::path tmp;
    int fd = -1;
    // O_EXCL: a leftover of a dead process that had our id is never reused.
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        tmp = AtomicTempName(file, NextAtomicTempTag());
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    const char* p = bytes.data();
    size_t left = bytes.size();
    bool ok = true;
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && std::rename(tmp.c_str(), file.c_str()) == 0) {
        // The rename lives in the folder: until the folder is on disk, a
        // power cut can bring the old file back, or no file at all. The new
        // file is in place either way, so a folder that cannot be flushed
        // (some file systems refuse) does not turn the write into a failure.
        std::filesystem::path folder = file.parent_path();
        if (folder.empty()) folder = ".";
        int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            (void)::fsync(dir);
            ::close(dir);
        }
        RemoveStaleTempFiles(file.parent_path());
        return true;
    }
    ::unlink(tmp.c_str());
    return false;
}

bool RestoreUnfinishedSave(const UnfinishedSave& save) {
    // Link, then unlink: unlike rename, link never replaces a file that has
    // appeared under the name meanwhile. File systems without links (FAT)
    // fall back to a checked rename.
    if (::link(save.temp.c_str(), save.target.c_str()) == 0) {
        ::unlink(save.temp.c_str());
        return true;
    }
    if (errno == EEXIST) return false;
    std::error_code ec;
    if (std::filesystem::exists(save.target, ec) || ec) return false;
    return std::rename(save.temp.c_str(), save.target.c_str()) == 0;
}

}  // namespace vt
