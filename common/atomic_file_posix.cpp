#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <random>

#include "common/atomic_file.h"

namespace vt {

bool WriteFileAtomic(const std::filesystem::path& file, std::string_view bytes) {
    static thread_local std::mt19937 rng{std::random_device{}()};
    const std::filesystem::path tmp = AtomicTempName(file, rng() % 1000000);
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    const char* p = bytes.data();
    size_t left = bytes.size();
    bool ok = true;
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
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
        RemoveStaleTempFiles(file.parent_path());
        return true;
    }
    ::unlink(tmp.c_str());
    return false;
}

}  // namespace vt
