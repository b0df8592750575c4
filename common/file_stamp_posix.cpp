#include <sys/stat.h>

#include "common/file_stamp.h"

namespace vt {

FileStamp GetFileStamp(const std::string& file) {
    FileStamp s;
    struct stat st;
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return s;
    s.exists = true;
    s.mtime = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.size = static_cast<uint64_t>(st.st_size);
    // A file replaced by a rename is a new inode even when time and size match.
    s.id = (static_cast<uint64_t>(st.st_dev) << 32) ^ static_cast<uint64_t>(st.st_ino);
    return s;
}

}  // namespace vt
