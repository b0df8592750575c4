// Turns the editor's state into a skin package the launcher loads: skin.vsu
// and the fixed set of pictures under image\.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "skineditor/editor_model.h"

namespace vt {

struct PackagePicture {
    std::string_view file;  // name under image\, such as "backdrop.img"
    int slot;
    bool optional;          // teamback.img is copied only when chosen
};

// Copy order of the pictures.
extern const std::vector<PackagePicture> kPackagePictures;

constexpr std::string_view kBuildFolderPrompt = "请选择一个文件夹存放皮肤文件";
constexpr std::string_view kBuildFailed = "发生错误，无法保存!";

struct BuildResult {
    bool ok = false;
    // What stopped the build, as told to the designer under the failure
    // message: the picture that could not be read or written, the folder
    // that is missing, read-only or in the way.
    std::string detail;
};

// Builds into `folder` (no trailing separator needed). Every source picture
// and the image folder are checked before anything is written, so a failed
// build leaves the folder as it was.
BuildResult BuildSkinPackage(const EditorModel& model, const std::string& folder);

}  // namespace vt
