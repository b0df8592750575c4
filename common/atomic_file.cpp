#include "common/atomic_file.h"

#include <chrono>
#include <mutex>
#include <set>

namespace vt {

std::filesystem::path AtomicTempName(const std::filesystem::path& file, unsigned long tag) {
    std::filesystem::path tmp = file;
    tmp += ".~" + std::to_string(tag) + ".tmp";
    return tmp;
}

namespace {

// "<file>.~<digits>.tmp", as AtomicTempName makes them. Compared in the
// path's own characters: a name need not convert to the narrow code page.
bool IsTempName(const std::filesystem::path::string_type& name) {
    using S = std::filesystem::path::string_type;
    const S mark1 = std::filesystem::path(".~").native(), tmp = std::filesystem::path(".tmp").native();
    const size_t mark = name.rfind(mark1);
    if (mark == S::npos || mark == 0 || name.size() < mark + 7) return false;
    if (name.compare(name.size() - 4, 4, tmp) != 0) return false;
    for (size_t i = mark + 2; i < name.size() - 4; ++i)
        if (name[i] < '0' || name[i] > '9') return false;
    return true;
}

}  // namespace

void RemoveStaleTempFiles(const std::filesystem::path& folder, int minAgeSeconds) {
    static std::mutex lock;
    static std::set<std::filesystem::path> done;
    {
        std::lock_guard<std::mutex> g(lock);
        if (!done.insert(folder).second) return;
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code e;
        if (!it->is_regular_file(e) || !IsTempName(it->path().filename().native())) continue;
        const auto written = it->last_write_time(e);
        if (e || now - written < std::chrono::seconds(minAgeSeconds)) continue;
        fs::remove(it->path(), e);
    }
}

}  // namespace vt
