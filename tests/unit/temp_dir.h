// A fresh folder for one test, removed afterwards.
#pragma once

#include <filesystem>
#include <random>
#include <string>

#include "common/codepage.h"

namespace vt {

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() / ("vt-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // UTF-8 path of a file inside, the form the store functions take.
    std::string File(const std::string& name) const { return PathToUtf8(path_ / PathFromUtf8(name)); }
    // With a trailing separator, like AppDir.
    std::string Dir() const { return PathToUtf8(path_) + "/"; }

private:
    std::filesystem::path path_;
};

}  // namespace vt
