// Turns the editor's state into a skin package the launcher loads: skin.vsu
// and the fixed set of pictures under image\.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "skineditor/editor_model.h"

namespace vt {

struct PackagePicture {
    std::string_view file;  // name under image\, such as "backdrop.img"
    int slot;
    bool optional;  // teamback.img is copied only when chosen
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
    // Pictures written from stand-ins because no file was chosen for them
    // (names under image\, in copy order).
    std::vector<std::string> standIns = {};
};

// Builds into `folder` (no trailing separator needed). Every source picture
// and the image folder are checked before anything is written, so a failed
// build leaves the folder as it was. A required picture without a file gets
// the stand-in the mock-up shows for it, at its element's size.
BuildResult BuildSkinPackage(const EditorModel& model, const std::string& folder);

// The stand-in picture file a build writes for a picture slot left empty,
// nullopt for a slot that has none (the team bar's picture).
std::optional<std::string> StandInFile(const EditorModel& model, int slot);

// The message telling the designer which pictures were stand-ins, empty when none.
std::string StandInNotice(const std::vector<std::string>& files);

}  // namespace vt
