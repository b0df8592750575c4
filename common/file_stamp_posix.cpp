#include <sys/stat.h>
#include <sys/vfs.h>
#include <time.h>

#include <algorithm>

#include "common/file_stamp.h"

namespace vt {

namespace {

constexpr int64_t kSecond = 1000000000;  // nanoseconds

int64_t Nanoseconds(const struct timespec& t) {
    return static_cast<int64_t>(t.tv_sec) * kSecond + t.tv_nsec;
}

}  // namespace

FileStamp GetFileStamp(const std::string& file) {
    FileStamp s;
    struct stat st;
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return s;
    s.exists = true;
    s.mtime = Nanoseconds(st.st_mtim);
    s.ctime = Nanoseconds(st.st_ctim);
    s.size = static_cast<uint64_t>(st.st_size);
    // A file replaced by a rename is a new inode even when time and size match.
    s.id = (static_cast<uint64_t>(st.st_dev) << 32) ^ static_cast<uint64_t>(st.st_ino);
    return s;
}

int64_t FileClockNow() {
    struct timespec t;
    ::clock_gettime(CLOCK_REALTIME, &t);
    return Nanoseconds(t);
}

int64_t StampTick(const std::string& file) {
    // The kernel stamps files from its coarse clock (a few milliseconds) on
    // its own file systems; FAT keeps two-second steps; a network file
    // system takes the server's clock, whose skew nobody knows.
    constexpr int64_t kFine = kSecond / 10, kCoarse = 3 * kSecond;
    std::string folder = file;
    const size_t slash = folder.find_last_of('/');
    folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : folder.substr(0, slash));
    struct statfs fs;
    if (::statfs(folder.c_str(), &fs) != 0) return kCoarse;
    switch (static_cast<unsigned long>(fs.f_type)) {
        case 0xEF53:      // ext2/3/4
        case 0x58465342:  // xfs
        case 0x9123683E:  // btrfs
        case 0x01021994:  // tmpfs
        case 0x794C7630:  // overlayfs
        case 0xF2F52010:  // f2fs
        case 0x2FC12FC1:  // zfs
            return kFine;
        default:
            return kCoarse;
    }
}

bool StampIsSettled(const FileStamp& stamp, int64_t now, int64_t tick) {
    const int64_t newest = std::max(stamp.mtime, stamp.ctime);
    return stamp.exists && now - newest > tick;
}

}  // namespace vt
