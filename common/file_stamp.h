// What a file looks like from outside, in one system call: enough to tell
// that it changed since it was last read (another process wrote it, or it
// was replaced by a rename) without reading it again.
#pragma once

#include <cstdint>
#include <string>

namespace vt {

struct FileStamp {
    bool exists = false;  // a regular file that could be examined
    int64_t mtime = 0;    // last write time, in the system's finest unit
    uint64_t size = 0;
    uint64_t id = 0;      // identity of the file where the system gives it cheaply (inode), else 0
    bool operator==(const FileStamp&) const = default;
};

// file is a UTF-8 path.
FileStamp GetFileStamp(const std::string& file);

}  // namespace vt
