// Migration of the previous version's files: whatever the old files hold,
// they survive byte for byte in the old-data folder, nothing is written
// outside the new DATA and that folder, and the new store reads back.
#include "common/ini.h"
#include "launcher/store/migration.h"
#include "launcher/store/store.h"
#include "platform/fake/fakes.h"
#include "tests/fuzz/fuzz_support.h"

using namespace vt;
using namespace vt::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string root = FreshScratch();
    const std::string app = root + "app/";
    WriteFile(root + "outside/keep.txt", "keep");
    WriteFile(app + "VT.exe", "MZ");
    WriteFile(app + "DATA/.keep", "");
    for (const auto& f : Unpack(std::string_view(reinterpret_cast<const char*>(data), size)))
        (void)PlaceFile(app + "DATA/" + f.path, f.bytes);
    FlushIniCache();
    const Tree before = Snapshot(root);
    Tree oldFiles;
    for (const auto& [p, v] : before)
        if (p.rfind("app/DATA/", 0) == 0) oldFiles[p.substr(9)] = v;

    FakeRegistry registry;
    FakePrompts prompts;
    const MigrationReport report = MigrateOldData(app, registry, prompts, true);
    const Tree after = Snapshot(root);

    if (report.result != MigrationResult::Done) {
        const std::string changed = Differences(before, after, {});
        VT_FUZZ_CHECK(changed.empty(), "a migration that did not run changed:\n" + changed);
        return 0;
    }
    const std::string folder = "app/" + report.oldDataFolder;
    const std::string outside = Differences(before, after, {"app/DATA", folder});
    VT_FUZZ_CHECK(outside.empty(), outside);
    // The old-data folder holds exactly the old files, unchanged.
    Tree kept;
    for (const auto& [p, v] : after)
        if (p.rfind(folder + "/", 0) == 0) kept[p.substr(folder.size() + 1)] = v;
    VT_FUZZ_CHECK(kept == oldFiles, Differences(oldFiles, kept, {}));

    // The new store reads without failing.
    const int teams = ReadTeamCount(app, prompts, true);
    for (int t = 0; t < std::min(teams, 8); ++t) {
        const std::string teamFolder = ResolveTeamFolder(app, t, "");
        VT_FUZZ_CHECK(!teamFolder.empty(), "team " + std::to_string(t) + " has no folder");
        const int items = ReadItemCount(teamFolder, prompts, true);
        for (int i = 0; i < std::min(items, 8); ++i)
            (void)ReadItemTexts(teamFolder, ReadItemRecord(teamFolder, i), "");
    }
    return 0;
}
