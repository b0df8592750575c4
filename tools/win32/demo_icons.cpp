// Gives the demo store's program items the pictures of their programs, the
// way the item editor saves them: a 32-pixel bitmap on the item panel's
// colour, named by the item's "Icon" value. Run at build time under Wine,
// where the demo's programs exist, on the converted store.
//
//   vt_demo_icons APPDIR BACKCOLOUR
//
// APPDIR holds DATA\TEAM.SET (trailing separator); BACKCOLOUR is the default
// skin's item panel colour (R + 256 G + 65536 B). An item whose program
// gives no icon falls back to the stock file picture instead of naming a
// picture that does not exist.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/ini.h"
#include "common/line_file.h"
#include "launcher/store/store.h"
#include "platform/win32/icon_extract_win32.h"
#include "platform/win32/win_text.h"

namespace {

constexpr int kPictureSize = 32;

bool IsOwnPicture(const std::string& icon) {
    return icon.size() > 5 && icon.front() == '\\' && icon.ends_with(".img");
}

// Pictures made / items without one.
struct Tally {
    int made = 0;
    int fallback = 0;
};

void DoTeam(const std::string& folder, uint32_t back, Tally& tally) {
    const std::string items = vt::ItemSetFile(folder);
    const int count = vt::ReadIniInt(items, "ITEM", "Count", 0);
    for (int i = 0; i < count; ++i) {
        const std::string section = std::to_string(i);
        const std::string icon = vt::ReadIniString(items, section, "Icon", "");
        // A protected item's lines are scrambled with a key only its user knows.
        if (!IsOwnPicture(icon) || vt::ReadIniString(items, section, "Password", "False") == "True") continue;
        std::string source = vt::ReadDataLine(vt::IconSetFile(folder), vt::ReadIniInt(items, section, "IconPath", 0));
        if (source.empty())
            source = vt::ReadDataLine(vt::PathSetFile(folder), vt::ReadIniInt(items, section, "Path", 0));
        const int index = vt::ReadIniInt(items, section, "IconIndex", 0);
        vt::IconCanvas canvas(kPictureSize, back);
        const std::string picture = folder + icon;
        if (!source.empty() && canvas.DrawIconOf(source, index) &&
            vt::WriteFileAtomic(vt::PathFromUtf8(picture), canvas.ToBmpBytes())) {
            ++tally.made;
            continue;
        }
        std::fprintf(stderr, "demo icons: no icon in %s for %s; the item shows the file picture\n", source.c_str(),
                     picture.c_str());
        vt::WriteIniString(items, section, "Icon", "[FILE]");
        ++tally.fallback;
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vt_demo_icons APPDIR BACKCOLOUR\n");
        return 2;
    }
    std::string appDir = vt::Narrow(argv[1]);
    if (!appDir.empty() && appDir.back() != '\\' && appDir.back() != '/') appDir += '\\';
    const uint32_t back = static_cast<uint32_t>(std::wcstoul(argv[2], nullptr, 10));

    const std::string teams = vt::TeamSetFile(appDir);
    const int count = vt::ReadIniInt(teams, "TEAM", "Count", -1);
    if (count < 0) {
        std::fprintf(stderr, "demo icons: %s has no teams\n", teams.c_str());
        return 1;
    }
    Tally tally;
    for (int t = 0; t < count; ++t) {
        const std::string section = std::to_string(t);
        // Protected teams scramble their folder name; the demo has none worth a picture.
        if (vt::ReadIniString(teams, section, "Password", "False") == "True") continue;
        const std::string folder = vt::TeamFolderPath(appDir, vt::ReadIniString(teams, section, "Path", ""));
        if (!folder.empty()) DoTeam(folder, back, tally);
    }
    vt::FlushIniCache();
    std::printf("demo icons: %d pictures made, %d items left with the file picture\n", tally.made, tally.fallback);
    return 0;
}
