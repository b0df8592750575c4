#include "skineditor/skin_builder.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <system_error>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/ini.h"
#include "launcher/skin/skin_format.h"
#include "skineditor/editor_project.h"
#include "skineditor/stand_in.h"

namespace vt {

namespace {

// Which slot feeds each picture of the package.
int PictureSlot(std::string_view file) {
    static constexpr std::pair<std::string_view, int> kSources[] = {
        {"backdrop.img", 0}, {"file.img", 53},   {"dir.img", 54},    {"link.img", 55},   {"exitem.img", 56},
        {"close1.img", 2},   {"close2.img", 3},  {"close3.img", 4},  {"min1.img", 5},    {"min2.img", 6},
        {"min3.img", 7},     {"lock1.img", 8},   {"lock2.img", 10},  {"left1.img", 16},  {"left2.img", 17},
        {"left3.img", 18},   {"right1.img", 19}, {"right2.img", 20}, {"right3.img", 21}, {"teamback.img", 30},
        {"up1.img", 32},     {"up2.img", 33},    {"up3.img", 34},    {"down1.img", 35},  {"down2.img", 36},
        {"down3.img", 37},
    };
    for (const auto& [name, slot] : kSources)
        if (name == file) return slot;
    return -1;
}

}  // namespace

const std::vector<PackagePicture> kPackagePictures = [] {
    std::vector<PackagePicture> out;
    for (const auto& p : kSkinPictures)
        out.push_back({p.file, PictureSlot(p.file), !p.required});
    return out;
}();

namespace {

namespace fs = std::filesystem;

// The value the package gets for one key of skin.vsu: slot texts as typed,
// element geometry in twips, border flags as 0/1.
std::string PackageValue(const EditorModel& model, std::string_view section, std::string_view key) {
    static constexpr struct {
        std::string_view section, key;
        int slot;
    } kSlotKeys[] = {
        {"SKIN", "Name", 44},       {"SKIN", "Version", 45},    {"SKIN", "Author", 46},     {"SKIN", "HomePage", 47},
        {"SKIN", "Email", 51},      {"SKIN", "Note", 52},       {"TITLE", "TextColor", 11}, {"MENU", "TextColor1", 12},
        {"MENU", "TextColor2", 13}, {"MENU", "TextColor3", 14}, {"MENU", "FontSize", 15},   {"MENU", "BackColor", 50},
        {"MENU", "FrameColor", 9},  {"TEAM", "FontSize", 22},   {"TEAM", "TextColor1", 23}, {"TEAM", "TextColor2", 24},
        {"TEAM", "TextColor3", 25}, {"TEAM", "BackColor1", 26}, {"TEAM", "BackColor2", 27}, {"TEAM", "BackColor3", 28},
        {"TEAM", "BackColor", 29},  {"TEAM", "Width", 31},      {"TEAM", "Height", 48},     {"ITEM", "FontSize", 38},
        {"ITEM", "TextColor1", 39}, {"ITEM", "TextColor2", 40}, {"ITEM", "BackColor1", 41}, {"ITEM", "BackColor2", 42},
        {"ITEM", "Width", 43},      {"ITEM", "Height", 49},
    };
    for (const auto& k : kSlotKeys)
        if (k.section == section && k.key == key) return model.SlotText(k.slot);
    if (key == "Frame") return model.Frame(section == "TEAM" ? 0 : 1) ? "1" : "0";

    static constexpr std::pair<std::string_view, El> kCorners[] = {
        {"TITLE", El::ShpTitle},      {"CLOSE_BUTTON", El::ImgClose}, {"MIN_BUTTON", El::ImgMin},
        {"LOCK_BUTTON", El::ImgLock}, {"MENU", El::LabMenu0},         {"TEAM", El::PicTeam},
        {"LEFT_BUTTON", El::ImgLeft}, {"RIGHT_BUTTON", El::ImgRight}, {"ITEM", El::PicItem},
        {"UP_BUTTON", El::ImgUp},     {"DOWN_BUTTON", El::ImgDown},   {"SKIN", El::PicEditIn},
    };
    for (const auto& [name, e] : kCorners) {
        if (name != section) continue;
        const MockRect r = model.Get(e).rect;
        if (key == "Left") return FormatTwips(r.left);
        if (key == "Top") return FormatTwips(r.top);
        if (key == "Width") return FormatTwips(r.width);
        if (key == "Height") return FormatTwips(r.height);
    }
    return {};
}

// Key by key in the launcher's order; the profile writer keeps the first
// position of each key, which gives the sections their familiar order.
bool WriteDescription(const EditorModel& model, const std::string& file) {
    for (const auto& k : kSkinKeys)
        if (!WriteIniString(file, k.section, k.key, PackageValue(model, k.section, k.key))) return false;
    return true;
}

// The mock-up element whose size a stand-in takes; nullopt for the item icons.
std::optional<El> StandInElement(StandInKind kind) {
    switch (kind) {
        case StandInKind::Backdrop:
            return El::PicEditIn;
        case StandInKind::Close:
            return El::ImgClose;
        case StandInKind::Min:
            return El::ImgMin;
        case StandInKind::Lock:
            return El::ImgLock;
        case StandInKind::Left:
            return El::ImgLeft;
        case StandInKind::Right:
            return El::ImgRight;
        case StandInKind::Up:
            return El::ImgUp;
        case StandInKind::Down:
            return El::ImgDown;
        default:
            return std::nullopt;
    }
}

int PicturePixels(double twips) {
    return std::max(1, static_cast<int>(std::lround(twips / kTwipsPerPicturePixel)));
}

}  // namespace

std::optional<std::string> StandInFile(const EditorModel& model, int slot) {
    const auto standIn = StandInOfSlot(slot);
    if (!standIn) return std::nullopt;
    int w = kStandInIconPixels, h = kStandInIconPixels;
    if (auto e = StandInElement(standIn->kind)) {
        const MockRect r = model.Get(*e).rect;
        w = PicturePixels(r.width);
        h = PicturePixels(r.height);
    }
    return EncodeBmp24(DrawStandIn(*standIn, w, h));
}

std::string StandInNotice(const std::vector<std::string>& files) {
    if (files.empty()) return {};
    std::string text = "以下图片未选择，已用编辑器的替代图片生成:\n";
    for (size_t i = 0; i < files.size(); ++i)
        text += (i ? "、" : "") + files[i];
    return text;
}

BuildResult BuildSkinPackage(const EditorModel& model, const std::string& folder) {
    std::error_code ec;
    const fs::path dir = PathFromUtf8(folder);
    if (folder.empty() || !fs::is_directory(dir, ec)) return {false, "文件夹不存在: " + folder};
    const fs::path image = dir / kSkinImageFolder;
    if (fs::exists(image, ec) && !fs::is_directory(image, ec))
        return {false, "名为 image 的文件挡住了图片文件夹: " + PathToUtf8(image)};

    // Read every picture first: a build that stops halfway leaves a skin the
    // launcher cannot load, so nothing is written unless all sources are good.
    std::vector<std::optional<std::string>> bytes;
    std::vector<std::string> standIns;
    for (const auto& p : kPackagePictures) {
        const std::string& source = model.SlotText(p.slot);
        if (source.empty()) {
            if (p.optional) {
                bytes.emplace_back();
                continue;
            }
            auto standIn = StandInFile(model, p.slot);
            if (!standIn) return {false, "没有选择图片: " + SlotDisplayName(p.slot) + " (" + std::string(p.file) + ")"};
            bytes.push_back(std::move(standIn));
            standIns.emplace_back(p.file);
            continue;
        }
        auto data = ReadFileBytes(PathFromUtf8(source));
        if (!data)
            return {false, (fs::exists(PathFromUtf8(source), ec) ? "无法读取图片 " : "找不到图片 ") +
                               SlotDisplayName(p.slot) + ": " + source};
        bytes.push_back(std::move(data));
    }
    // Double-size pictures for large screens: a picture's namesake in a 2x
    // folder beside it, wherever the project keeps its pictures.
    std::vector<std::optional<std::string>> doubles(kPackagePictures.size());
    for (size_t i = 0; i < kPackagePictures.size(); ++i) {
        if (!bytes[i]) continue;
        const fs::path source = PathFromUtf8(model.SlotText(kPackagePictures[i].slot));
        const fs::path twice = source.parent_path() / kSkinDoubleFolder / source.filename();
        if (fs::is_regular_file(twice, ec)) {
            doubles[i] = ReadFileBytes(twice);
            if (!doubles[i])
                return {false, "无法读取图片 " + SlotDisplayName(kPackagePictures[i].slot) + ": " + PathToUtf8(twice)};
        }
    }

    // The description goes to a side file first and replaces skin.vsu only
    // after every picture is in place.
    const std::string vsu = JoinPath(folder, kSkinDescriptionFile);
    const std::string pending = JoinPath(folder, "skin.vsu.new");
    fs::remove(PathFromUtf8(pending), ec);
    if (fs::exists(PathFromUtf8(vsu), ec)) {
        fs::copy_file(PathFromUtf8(vsu), PathFromUtf8(pending), fs::copy_options::overwrite_existing, ec);
        if (ec) return {false, WriteFailureCause(pending)};
    }
    FlushIniCache();
    auto fail = [&](std::string why) {
        std::error_code ignored;
        fs::remove(PathFromUtf8(pending), ignored);
        FlushIniCache();
        return BuildResult{false, std::move(why)};
    };
    if (!WriteDescription(model, pending)) return fail(WriteFailureCause(pending));

    if (!fs::is_directory(image, ec)) {
        fs::create_directory(image, ec);
        if (ec) return fail("无法创建图片文件夹(文件夹只读或没有写入权限): " + PathToUtf8(image));
    }
    const fs::path imageTwice = image / kSkinDoubleFolder;
    for (size_t i = 0; i < kPackagePictures.size(); ++i) {
        if (!bytes[i]) continue;
        const fs::path name = PathFromUtf8(kPackagePictures[i].file);
        if (!WriteFileAtomic(image / name, *bytes[i]))
            return fail("无法写入图片(文件夹只读或文件被占用): " + PathToUtf8(image / name));
        if (doubles[i]) {
            fs::create_directory(imageTwice, ec);
            if (!WriteFileAtomic(imageTwice / name, *doubles[i]))
                return fail("无法写入图片(文件夹只读或文件被占用): " + PathToUtf8(imageTwice / name));
        } else {
            // One left by an earlier build would show the old picture on large screens.
            fs::remove(imageTwice / name, ec);
        }
    }
    fs::rename(PathFromUtf8(pending), PathFromUtf8(vsu), ec);
    FlushIniCache();
    if (ec) return fail("无法替换 skin.vsu(文件只读或被占用): " + vsu);
    return {true, {}, std::move(standIns)};
}

}  // namespace vt
