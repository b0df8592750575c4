// Skin packages: any skin.vsu reads, and the check leaves values the window
// can be laid out with.
#include "common/ini.h"
#include "launcher/skin/skin_package.h"
#include "platform/fake/fakes.h"
#include "tests/fuzz/fuzz_support.h"

using namespace vt;
using namespace vt::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string folder = FreshScratch() + "skin";
    WriteFile(folder + "/skin.vsu", std::string_view(reinterpret_cast<const char*>(data), size));
    WriteFile(folder + "/image/backdrop.img", "BM");
    FlushIniCache();

    SkinPackage skin = ReadSkinPackage(folder);
    VT_FUZZ_CHECK(skin.hasDescription, "skin.vsu not found");
    FakePictures pictures;
    const auto problems = CheckSkinPackage(skin, pictures);
    (void)SkinProblemsMessage(folder, problems);

    VT_FUZZ_CHECK(skin.width > 0 && skin.height > 0, "window size");
    VT_FUZZ_CHECK(skin.itemColumns >= 1 && skin.itemColumns <= 31, "columns " + std::to_string(skin.itemColumns));
    for (int v : {skin.menuFontSize, skin.teamFontSize, skin.itemFontSize})
        VT_FUZZ_CHECK(v >= 0 && v <= 255, "font size " + std::to_string(v));
    for (int v : {skin.titleTextColor, skin.menuTextColor1, skin.menuTextColor2, skin.menuTextColor3,
                  skin.menuBackColor, skin.menuFrameColor, skin.teamBackColor, skin.teamBackColor1, skin.teamTextColor1,
                  skin.teamBackColor2, skin.teamTextColor2, skin.teamBackColor3, skin.teamTextColor3,
                  skin.itemBackColor1, skin.itemTextColor1, skin.itemBackColor2, skin.itemTextColor2})
        VT_FUZZ_CHECK(v >= 0 && v <= 0xFFFFFF, "colour " + std::to_string(v));
    VT_FUZZ_CHECK((skin.teamFrame == 0 || skin.teamFrame == 1) && (skin.itemFrame == 0 || skin.itemFrame == 1),
                  "frame flags");

    // Reading again gives the same values: nothing was cached wrongly.
    SkinPackage again = ReadSkinPackage(folder);
    VT_FUZZ_CHECK(again.name == skin.name && again.note == skin.note, "second read differs");
    return 0;
}
