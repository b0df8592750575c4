#include "skineditor/skin_builder.h"

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <system_error>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/ini.h"
#include "skineditor/editor_project.h"

namespace vt {

const std::vector<PackagePicture> kPackagePictures = {
    {"backdrop.img", 0, false}, {"file.img", 53, false},   {"dir.img", 54, false},    {"link.img", 55, false},
    {"exitem.img", 56, false},  {"close1.img", 2, false},  {"close2.img", 3, false},  {"close3.img", 4, false},
    {"min1.img", 5, false},     {"min2.img", 6, false},    {"min3.img", 7, false},    {"lock1.img", 8, false},
    {"lock2.img", 10, false},   {"left1.img", 16, false},  {"left2.img", 17, false},  {"left3.img", 18, false},
    {"right1.img", 19, false},  {"right2.img", 20, false}, {"right3.img", 21, false}, {"teamback.img", 30, true},
    {"up1.img", 32, false},     {"up2.img", 33, false},    {"up3.img", 34, false},    {"down1.img", 35, false},
    {"down2.img", 36, false},   {"down3.img", 37, false},
};

namespace {

namespace fs = std::filesystem;

// Writes the description keys in the order the launcher's files have always
// had them; the profile writer keeps the first position of each key.
bool WriteDescription(const EditorModel& model, const std::string& file) {
    bool ok = true;
    auto put = [&](std::string_view section, std::string_view key, const std::string& value) {
        ok = ok && WriteIniString(file, section, key, value);
    };
    auto slots = [&](std::string_view section, std::initializer_list<std::pair<std::string_view, int>> keys) {
        for (const auto& [key, slot] : keys) put(section, key, model.SlotText(slot));
    };
    auto corner = [&](std::string_view section, El e) {
        put(section, "Left", FormatTwips(model.Get(e).rect.left));
        put(section, "Top", FormatTwips(model.Get(e).rect.top));
    };
    const Rect window = model.Get(El::PicEditIn).rect;
    const Rect title = model.Get(El::ShpTitle).rect;

    slots("SKIN", {{"Name", 44}, {"Version", 45}, {"Author", 46}, {"HomePage", 47}, {"Email", 51}, {"Note", 52}});
    put("SKIN", "Width", FormatTwips(window.width));
    put("SKIN", "Height", FormatTwips(window.height));
    slots("TITLE", {{"TextColor", 11}});
    slots("MENU", {{"TextColor1", 12}, {"TextColor2", 13}, {"TextColor3", 14}, {"FontSize", 15}, {"BackColor", 50},
                   {"FrameColor", 9}});
    slots("TEAM", {{"FontSize", 22}, {"TextColor1", 23}, {"TextColor2", 24}, {"TextColor3", 25}, {"BackColor1", 26},
                   {"BackColor2", 27}, {"BackColor3", 28}, {"BackColor", 29}, {"Width", 31}, {"Height", 48}});
    put("TEAM", "Frame", model.Frame(0) ? "1" : "0");
    slots("ITEM", {{"FontSize", 38}, {"TextColor1", 39}, {"TextColor2", 40}, {"BackColor1", 41}, {"BackColor2", 42},
                   {"Width", 43}, {"Height", 49}});
    put("ITEM", "Frame", model.Frame(1) ? "1" : "0");
    put("TITLE", "Left", FormatTwips(title.left));
    put("TITLE", "Top", FormatTwips(title.top));
    put("TITLE", "Width", FormatTwips(title.width));
    put("TITLE", "Height", FormatTwips(title.height));
    corner("CLOSE_BUTTON", El::ImgClose);
    corner("MIN_BUTTON", El::ImgMin);
    corner("LOCK_BUTTON", El::ImgLock);
    corner("MENU", El::LabMenu0);
    corner("TEAM", El::PicTeam);
    corner("LEFT_BUTTON", El::ImgLeft);
    corner("RIGHT_BUTTON", El::ImgRight);
    corner("ITEM", El::PicItem);
    corner("UP_BUTTON", El::ImgUp);
    corner("DOWN_BUTTON", El::ImgDown);
    return ok;
}

}  // namespace

BuildResult BuildSkinPackage(const EditorModel& model, const std::string& folder) {
    std::error_code ec;
    const fs::path dir = PathFromUtf8(folder);
    if (folder.empty() || !fs::is_directory(dir, ec)) return {false, "target folder missing: " + folder};
    const fs::path image = dir / "image";
    if (fs::exists(image, ec) && !fs::is_directory(image, ec)) return {false, "a file named image is in the way"};

    // Read every picture first: a build that stops halfway leaves a skin the
    // launcher cannot load, so nothing is written unless all sources are good.
    std::vector<std::optional<std::string>> bytes;
    for (const auto& p : kPackagePictures) {
        const std::string& source = model.SlotText(p.slot);
        if (source.empty()) {
            if (p.optional) {
                bytes.emplace_back();
                continue;
            }
            return {false, "no picture chosen for " + std::string(p.file)};
        }
        auto data = ReadFileBytes(PathFromUtf8(source));
        if (!data) return {false, "cannot read " + source};
        bytes.push_back(std::move(data));
    }

    // The description goes to a side file first and replaces skin.vsu only
    // after every picture is in place.
    const std::string vsu = JoinPath(folder, "skin.vsu");
    const std::string pending = JoinPath(folder, "skin.vsu.new");
    fs::remove(PathFromUtf8(pending), ec);
    if (fs::exists(PathFromUtf8(vsu), ec)) {
        fs::copy_file(PathFromUtf8(vsu), PathFromUtf8(pending), fs::copy_options::overwrite_existing, ec);
        if (ec) return {false, "cannot write into " + folder};
    }
    FlushIniCache();
    auto fail = [&](std::string why) {
        std::error_code ignored;
        fs::remove(PathFromUtf8(pending), ignored);
        FlushIniCache();
        return BuildResult{false, std::move(why)};
    };
    if (!WriteDescription(model, pending)) return fail("cannot write skin.vsu");

    if (!fs::is_directory(image, ec)) {
        fs::create_directory(image, ec);
        if (ec) return fail("cannot create the image folder");
    }
    for (size_t i = 0; i < kPackagePictures.size(); ++i) {
        if (!bytes[i]) continue;
        if (!WriteFileAtomic(image / PathFromUtf8(kPackagePictures[i].file), *bytes[i]))
            return fail("cannot write " + std::string(kPackagePictures[i].file));
    }
    fs::rename(PathFromUtf8(pending), PathFromUtf8(vsu), ec);
    FlushIniCache();
    if (ec) return fail("cannot replace skin.vsu");
    return {true, {}};
}

}  // namespace vt
