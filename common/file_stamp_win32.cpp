#include <windows.h>

#include "common/file_stamp.h"
#include "common/codepage.h"

namespace vt {

FileStamp GetFileStamp(const std::string& file) {
    FileStamp s;
    WIN32_FILE_ATTRIBUTE_DATA a;
    // One call, no handle opened: the cheapest way to see a change.
    if (!GetFileAttributesExW(PathFromUtf8(file).c_str(), GetFileExInfoStandard, &a)) return s;
    if (a.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return s;
    s.exists = true;
    s.mtime = static_cast<int64_t>((static_cast<uint64_t>(a.ftLastWriteTime.dwHighDateTime) << 32) |
                                   a.ftLastWriteTime.dwLowDateTime);
    s.size = (static_cast<uint64_t>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
    return s;
}

}  // namespace vt
