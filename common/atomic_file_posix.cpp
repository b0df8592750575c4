#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

#include "common/atomic_file.h"

namespace vt {

std::optional<std::string> ReadFileBytes(const std::filesystem::path& file) {
    // A folder or device where a data file should be reads as "cannot read",
    // never as an exception escaping into the caller.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
    try {
        std::ifstream in(file, std::ios::binary);
        if (!in) return std::nullopt;
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad()) return std::nullopt;
        return bytes;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

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
