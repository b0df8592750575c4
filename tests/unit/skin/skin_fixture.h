// A skin folder on disk for tests: skin.vsu written through the profile
// writer, and picture files whose sizes the fake picture loader reports.
#pragma once

#include <fstream>
#include <map>
#include <string>

#include "common/codepage.h"
#include "common/ini.h"
#include "launcher/skin/skin_format.h"
#include "launcher/skin/skin_package.h"
#include "platform/fake/fakes.h"

namespace vt::test {

// A sound skin: every key of the description with a plausible value.
inline std::map<std::string, std::string> SoundSkinValues() {
    return {
        {"SKIN.Name", "测试皮肤"},    {"SKIN.Width", "4800"},
        {"SKIN.Height", "7200"},      {"TITLE.Left", "0"},
        {"TITLE.Top", "0"},           {"TITLE.Width", "4800"},
        {"TITLE.Height", "600"},      {"TITLE.TextColor", "16777215"},
        {"MENU.Left", "240"},         {"MENU.Top", "660"},
        {"MENU.FontSize", "9"},       {"MENU.TextColor1", "1"},
        {"MENU.TextColor2", "2"},     {"MENU.TextColor3", "3"},
        {"MENU.BackColor", "4"},      {"MENU.FrameColor", "5"},
        {"TEAM.Left", "300"},         {"TEAM.Top", "1080"},
        {"TEAM.Width", "4200"},       {"TEAM.Height", "420"},
        {"TEAM.BackColor", "6"},      {"TEAM.Frame", "1"},
        {"TEAM.FontSize", "9"},       {"TEAM.BackColor1", "11"},
        {"TEAM.TextColor1", "12"},    {"TEAM.BackColor2", "21"},
        {"TEAM.TextColor2", "22"},    {"TEAM.BackColor3", "31"},
        {"TEAM.TextColor3", "32"},    {"ITEM.Left", "150"},
        {"ITEM.Top", "1620"},         {"ITEM.Width", "4"},
        {"ITEM.Height", "4800"},      {"ITEM.Frame", "0"},
        {"ITEM.FontSize", "9"},       {"ITEM.BackColor1", "41"},
        {"ITEM.TextColor1", "42"},    {"ITEM.BackColor2", "51"},
        {"ITEM.TextColor2", "52"},    {"CLOSE_BUTTON.Left", "4400"},
        {"CLOSE_BUTTON.Top", "90"},   {"MIN_BUTTON.Left", "4100"},
        {"MIN_BUTTON.Top", "90"},     {"LOCK_BUTTON.Left", "3800"},
        {"LOCK_BUTTON.Top", "90"},    {"LEFT_BUTTON.Left", "60"},
        {"LEFT_BUTTON.Top", "1140"},  {"RIGHT_BUTTON.Left", "4520"},
        {"RIGHT_BUTTON.Top", "1140"}, {"UP_BUTTON.Left", "2000"},
        {"UP_BUTTON.Top", "6500"},    {"DOWN_BUTTON.Left", "2500"},
        {"DOWN_BUTTON.Top", "6500"},
    };
}

// Writes skin.vsu from "SECTION.Key" -> value and creates every picture file
// (teamback.img only when withTeamBack), registering each with the given size
// in pixels (buttons buttonPx square, others 32 x 32).
inline void WriteSkin(const std::string& folder, const std::map<std::string, std::string>& values,
                      FakePictures& pictures, int buttonPx = 20, bool withTeamBack = true) {
    std::filesystem::create_directories(PathFromUtf8(folder) / kSkinImageFolder);
    // One plain write (the profile writer syncs every key, which is slow in bulk).
    std::map<std::string, std::string> sections;
    for (const auto& [name, value] : values) {
        size_t dot = name.find('.');
        sections[name.substr(0, dot)] += name.substr(dot + 1) + "=" + value + "\r\n";
    }
    std::string text;
    for (const auto& [section, body] : sections)
        text += "[" + section + "]\r\n" + body;
    std::ofstream(PathFromUtf8(SkinDescriptionPath(folder)), std::ios::binary) << Utf8ToAnsi(text);
    for (const SkinPicture& pic : kSkinPictures) {
        std::string file = pic.file;
        if (file == "teamback.img" && !withTeamBack) continue;
        std::string path = SkinPicturePath(folder, file);
        std::ofstream(PathFromUtf8(path), std::ios::binary) << "picture";
        bool button = file.find_first_of("123") != std::string::npos;
        pictures.sizes[path] = button ? PictureSize{buttonPx, buttonPx} : PictureSize{32, 32};
    }
    FlushIniCache();
}

}  // namespace vt::test
