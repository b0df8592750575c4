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
    int64_t ctime = 0;    // last change of data or entry (a rename too), same unit; 0 where unknown
    uint64_t size = 0;
    uint64_t id = 0;  // identity of the file where the system gives it cheaply (inode), else 0
    bool operator==(const FileStamp&) const = default;
};

// file is a UTF-8 path.
FileStamp GetFileStamp(const std::string& file);

// Now, on the clock file times are taken from, in FileStamp's unit.
int64_t FileClockNow();

// The step the times of files in file's folder move in, in FileStamp's
// unit, with room for rounding: two seconds and more on FAT and exFAT
// sticks and on network shares (whose clock is another machine's), a
// fraction of a second on the system's own file systems. Asks the system,
// so callers keep the answer with what they read.
int64_t StampTick(const std::string& file);

// Whether a stamp seen at `now` can be trusted to change with the next
// write. Two writes of the same size within one tick leave the same stamp;
// only once the file's times lie more than a tick in the past will any
// later write show. Times in the future (a clock set back) are never trusted.
bool StampIsSettled(const FileStamp& stamp, int64_t now, int64_t tick);

}  // namespace vt
