#include <sys/stat.h>
#include <time.h>

#include <algorithm>

#include "common/file_stamp.h"

namespace vt {

namespace {

constexpr int64_t kSecond = 1000000000;  // nanoseconds

int64_t Nanoseconds(const struct timespec& t) { return static_cast<int64_t>(t.tv_sec) * kSecond + t.tv_nsec; }

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

bool StampIsSettled(const FileStamp& stamp, int64_t now) {
    // Two seconds and a little: the coarsest tick of the file systems a
    // program folder may sit on (FAT), with room for rounding up.
    const int64_t newest = std::max(stamp.mtime, stamp.ctime);
    return stamp.exists && now - newest > 3 * kSecond;
}

}  // namespace vt
