// Makes a folder refuse new files, renames and deletions for the life of the
// object, the way a write-protected stick or a folder without write rights
// does. Tests run as root in CI, which ignores permission bits, so the
// folder is made immutable where the file system allows it.
#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace vt {

class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
        namespace fs = std::filesystem;
        fd_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (fd_ >= 0 && ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
            int locked = flags | FS_IMMUTABLE_FL;
            if (::ioctl(fd_, FS_IOC_SETFLAGS, &locked) == 0) {
                oldFlags_ = flags;
                immutable_ = true;
            }
        }
        if (!immutable_) {
            std::error_code ec;
            fs::permissions(folder_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                            fs::perm_options::remove, ec);
        }
        // Whatever was tried, it counts only if a new file is really refused.
        const fs::path probe = folder_ / "probe.tmp";
        { std::ofstream(probe) << "x"; }
        std::error_code ec;
        effective_ = !fs::exists(probe, ec);
        fs::remove(probe, ec);
    }
    ~ReadOnlyFolder() { Release(); }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    // False when this machine lets the test write there anyway.
    bool Effective() const { return effective_; }

    void Release() {
        if (immutable_) {
            (void)::ioctl(fd_, FS_IOC_SETFLAGS, &oldFlags_);
            immutable_ = false;
        } else {
            std::error_code ec;
            std::filesystem::permissions(folder_, std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, ec);
        }
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    std::filesystem::path folder_;
    int fd_ = -1;
    int oldFlags_ = 0;
    bool immutable_ = false;
    bool effective_ = false;
};

}  // namespace vt
