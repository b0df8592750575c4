#include "common/atomic_file.h"

#include <fstream>
#include <iterator>

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

}  // namespace vt
