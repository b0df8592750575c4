// Editor projects (*.vse): any file opens; saving and reopening gives the same
// project; saving over a file keeps every key the editor does not own; a
// file opened after its check saves as one the check passes.
#include "common/ini.h"
#include "platform/fake/fakes.h"
#include "skineditor/editor_model.h"
#include "skineditor/editor_project.h"
#include "tests/fuzz/fuzz_support.h"

using namespace vt;
using namespace vt::fuzz;

namespace {

// A lone CR inside a value reads as part of it but is written as a blank
// (line breaks in values are being reworked in the INI engine); until then the
// round trip is compared with CRs as blanks.
std::string CrAsBlank(std::string s) {
    for (char& c : s)
        if (c == '\r') c = ' ';
    return s;
}

bool SameModel(const EditorModel& a, const EditorModel& b, std::string& why) {
    for (int s = 0; s < kSlotLimit; ++s)
        if (CrAsBlank(a.SlotText(s)) != CrAsBlank(b.SlotText(s))) {
            why = "slot " + std::to_string(s) + ": [" + a.SlotText(s) + "] / [" + b.SlotText(s) + "]";
            return false;
        }
    for (int k = 0; k < 2; ++k)
        if (a.Frame(k) != b.Frame(k)) {
            why = "frame " + std::to_string(k);
            return false;
        }
    for (int e = 0; e < kElementCount; ++e) {
        const MockRect& x = a.Get(static_cast<El>(e)).rect;
        const MockRect& y = b.Get(static_cast<El>(e)).rect;
        if (x.left != y.left || x.top != y.top || x.width != y.width || x.height != y.height) {
            why = "element " + std::to_string(e) + " at " + FormatTwips(x.left) + "," + FormatTwips(x.top) + " " +
                  FormatTwips(x.width) + "x" + FormatTwips(x.height) + " / " + FormatTwips(y.left) + "," +
                  FormatTwips(y.top) + " " + FormatTwips(y.width) + "x" + FormatTwips(y.height);
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string dir = FreshScratch();
    const std::string file = dir + "p.vse";
    WriteFile(file, bytes);
    WriteFile(dir + "image/backdrop.img", "BM");
    FlushIniCache();

    FakePictures pictures;
    FakeTextMeasure measure;

    // The keys a save writes, found by saving a fresh project.
    EditorModel blank(pictures, measure);
    VT_FUZZ_CHECK(SaveProject(blank, dir + "blank.vse"), "saving a fresh project");
    const IniNames owned = ScanIniNames(ReadFile(dir + "blank.vse"), 100);

    EditorModel first(pictures, measure);
    LoadProject(first, file);

    // Save into the same folder, so stored relative picture paths mean the same.
    VT_FUZZ_CHECK(SaveProject(first, dir + "a.vse"), "save");
    EditorModel second(pictures, measure);
    LoadProject(second, dir + "a.vse");
    VT_FUZZ_CHECK(SaveProject(second, dir + "b.vse"), "second save");
    std::string why;
    VT_FUZZ_CHECK(SameModel(first, second, why), "reopened project differs: " + why);
    VT_FUZZ_CHECK(ReadFile(dir + "a.vse") == ReadFile(dir + "b.vse"), "second save wrote another file");

    // Opened the way Open does after the check (what cannot be read keeps
    // its default), the project saves as a sound one.
    const ProjectCheck check = CheckProjectBytes(bytes);
    if (check.recognised) {
        EditorModel opened(pictures, measure);
        LoadProject(opened, file, &check);
        VT_FUZZ_CHECK(SaveProject(opened, dir + "c.vse"), "save of a checked project");
        FlushIniCache();
        const ProjectCheck again = CheckProject(dir + "c.vse");
        VT_FUZZ_CHECK(again.Ok(), "saved a project the check refuses: " + DescribeProblems(again, 3));
    }

    // Saving over the opened file keeps every key the editor does not write.
    const IniNames names = ScanIniNames(bytes, 16);
    const auto before = ReadAll(file, names);
    VT_FUZZ_CHECK(SaveProject(first, file), "save over the opened file");
    FlushIniCache();
    const auto after = ReadAll(file, names);
    for (const auto& [where, value] : before) {
        bool ownedKey = false;
        for (const auto& s : owned.sections)
            for (const auto& k : owned.keys)
                ownedKey = ownedKey || (SameAsciiName(where.first, s) && SameAsciiName(where.second, k));
        if (ownedKey) continue;
        VT_FUZZ_CHECK(after.at(where) == value, "[" + where.first + "] " + where.second + " was [" + value +
                                                    "], after a save [" + after.at(where) + "]");
    }
    return 0;
}
