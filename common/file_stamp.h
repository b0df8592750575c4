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
    uint64_t id = 0;      // identity of the file where the system gives it cheaply (inode), else 0
    bool operator==(const FileStamp&) const = default;
};

// file is a UTF-8 path.
FileStamp GetFileStamp(const std::string& file);

// Now, on the clock file times are taken from, in FileStamp's unit.
int64_t FileClockNow();

// Whether a stamp seen at `now` can be trusted to change with the next
// write. File systems keep times in ticks (two seconds on FAT), so two
// writes of the same size within one tick leave the same stamp; only once
// the file's times lie more than a tick in the past will any later write
// show. Times in the future (a clock set back, another machine's clock on
// a network share) are never trusted.
bool StampIsSettled(const FileStamp& stamp, int64_t now);

}  // namespace vt
