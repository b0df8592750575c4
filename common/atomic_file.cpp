#include "common/atomic_file.h"

#include <chrono>
#include <map>
#include <mutex>
#include <set>

namespace vt {

std::filesystem::path AtomicTempName(const std::filesystem::path& file, uint64_t tag) {
    std::filesystem::path tmp = file;
    tmp += ".~" + std::to_string(tag) + ".tmp";
    return tmp;
}

namespace {

using NativeString = std::filesystem::path::string_type;

// Where ".~<digits>.tmp" starts in a name AtomicTempName made, or npos.
// Compared in the path's own characters: a name need not convert to the
// narrow code page.
size_t TempMark(const NativeString& name) {
    const NativeString mark1 = std::filesystem::path(".~").native(), tmp = std::filesystem::path(".tmp").native();
    const size_t mark = name.rfind(mark1);
    if (mark == NativeString::npos || mark == 0 || name.size() < mark + 7) return NativeString::npos;
    if (name.compare(name.size() - 4, 4, tmp) != 0) return NativeString::npos;
    for (size_t i = mark + 2; i < name.size() - 4; ++i)
        if (name[i] < '0' || name[i] > '9') return NativeString::npos;
    return mark;
}

// The file a temporary file was written for; empty when it is not one of ours.
std::filesystem::path TargetOf(const std::filesystem::path& temp) {
    const NativeString name = temp.filename().native();
    const size_t mark = TempMark(name);
    if (mark == NativeString::npos) return {};
    return temp.parent_path() / NativeString(name, 0, mark);
}

bool Exists(const std::filesystem::path& p) {
    std::error_code ec;
    // A name that cannot be examined counts as taken: never restore over it.
    const auto st = std::filesystem::symlink_status(p, ec);
    return ec ? ec != std::errc::no_such_file_or_directory : std::filesystem::exists(st);
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
        if (!it->is_regular_file(e)) continue;
        const fs::path target = TargetOf(it->path());
        if (target.empty() || !Exists(target)) continue;
        const auto written = it->last_write_time(e);
        if (e || now - written < std::chrono::seconds(minAgeSeconds)) continue;
        fs::remove(it->path(), e);
    }
}

std::vector<UnfinishedSave> FindUnfinishedSaves(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    std::map<fs::path, std::pair<fs::file_time_type, fs::path>> newest;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code e;
        if (!it->is_regular_file(e)) continue;
        const fs::path target = TargetOf(it->path());
        if (target.empty() || Exists(target)) continue;
        const auto written = it->last_write_time(e);
        if (e) continue;
        auto found = newest.find(target);
        if (found == newest.end() || written > found->second.first) newest[target] = {written, it->path()};
    }
    std::vector<UnfinishedSave> out;
    out.reserve(newest.size());
    for (const auto& [target, temp] : newest)
        out.push_back({temp.second, target});
    return out;
}

}  // namespace vt
