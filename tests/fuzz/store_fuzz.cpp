// The team and item store over a fuzzed DATA tree: every read and a few
// commands run without failing, what a command writes reads back, and
// nothing outside DATA is ever written.
#include <fuzzer/FuzzedDataProvider.h>

#include "common/codepage.h"
#include "common/ini.h"
#include "launcher/store/store.h"
#include "platform/fake/fakes.h"
#include "tests/fuzz/fuzz_support.h"

using namespace vt;
using namespace vt::fuzz;

namespace {

const char* const kTexts[] = {"", "常用工具", "Notepad", "a b", "C:\\Windows\\notepad.exe", "[LINK]", "x|1|"};
const char* const kIcons[] = {"[LINK]", "[FILE]", "[DIRECTORY]", "[EXITEM]", "[ICON]", "C:\\a.exe", ""};
const char* const kPasswords[] = {"", "pw", "密码"};

std::string Pick(FuzzedDataProvider& in, const char* const* list, size_t n) {
    return list[in.ConsumeIntegralInRange<size_t>(0, n - 1)];
}
#define PICK(list) Pick(in, list, std::size(list))

// Reads everything the team bar and item panel would show.
void ReadEverything(const std::string& app, FakePrompts& prompts) {
    const int teams = ReadTeamCount(app, prompts, true);
    VT_FUZZ_CHECK(teams >= 0 && teams <= kMaxTeams, std::to_string(teams));
    for (int t = 0; t < std::min(teams, 6); ++t) {
        (void)ReadTeamRecord(app, t);
        for (const char* pw : kPasswords) {
            const std::string folder = ResolveTeamFolder(app, t, pw);
            const int items = ReadItemCount(folder, prompts, true);
            VT_FUZZ_CHECK(items >= 0 && items <= kMaxItems, std::to_string(items));
            for (int i = 0; i < std::min(items, 8); ++i) {
                ItemRecord item = ReadItemRecord(folder, i);
                (void)ReadItemTexts(folder, item, pw);
                (void)ResolveItemPicture(app, folder, item.Icon);
            }
        }
    }
}

ItemInput MakeItem(FuzzedDataProvider& in) {
    ItemInput item;
    item.Name = PICK(kTexts);
    item.Type = in.ConsumeIntegralInRange<int>(0, 5);
    item.Mode = in.ConsumeIntegralInRange<int>(0, 3);
    item.Note = PICK(kTexts);
    item.Path = PICK(kTexts);
    item.Para = PICK(kTexts);
    item.IconText = PICK(kIcons);
    item.IconIndex = in.ConsumeIntegralInRange<int>(-1, 3);
    if (in.ConsumeBool()) item.StartMethod = "runas";
    item.Password = PICK(kPasswords);
    if (in.ConsumeBool()) item.Picture = std::string("BM\0\0", 4);
    item.SharedIconName = in.ConsumeBool() ? "SHARED" : PICK(kTexts);
    return item;
}

// The item just written reads back as it was given.
void CheckItem(const std::string& folder, int index, const ItemInput& item) {
    const ItemRecord r = ReadItemRecord(folder, index);
    const ItemTexts t = ReadItemTexts(folder, r, item.Password);
    const std::string name = item.Name.empty() ? r.Name : item.Name;
    VT_FUZZ_CHECK(r.Name == name && r.Type == item.Type && r.Mode == item.Mode && r.Note == item.Note &&
                      r.Password == !item.Password.empty(),
                  "item " + std::to_string(index) + " in " + folder);
    VT_FUZZ_CHECK(t.Path == item.Path && t.Para == item.Para,
                  "item texts [" + t.Path + "] [" + t.Para + "] written [" + item.Path + "] [" + item.Para + "]");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int ops = in.ConsumeIntegralInRange<int>(0, 3);
    std::vector<uint8_t> choices = in.ConsumeBytes<uint8_t>(24);
    const std::string packed = in.ConsumeRemainingBytesAsString();

    const std::string root = FreshScratch();
    const std::string app = root + "app/";
    WriteFile(root + "outside/keep.txt", "keep");
    WriteFile(app + "VT.exe", "MZ");
    WriteFile(app + "DATA/.keep", "");
    for (const auto& f : Unpack(packed))
        (void)PlaceFile(app + "DATA/" + f.path, f.bytes);
    FlushIniCache();
    const Tree before = Snapshot(root);

    FakePrompts prompts;
    ReadEverything(app, prompts);

    FuzzedDataProvider pick(choices.data(), choices.size());
    for (int k = 0; k < ops; ++k) {
        const int team = pick.ConsumeIntegralInRange<int>(-1, 4);
        const int other = pick.ConsumeIntegralInRange<int>(-1, 4);
        const std::string pw = Pick(pick, kPasswords, std::size(kPasswords));
        const std::string folder = ResolveTeamFolder(app, std::max(team, 0), pw);
        const std::string otherFolder = ResolveTeamFolder(app, std::max(other, 0), "");
        switch (pick.ConsumeIntegralInRange<int>(0, 8)) {
            case 0: {
                TeamInput t{Pick(pick, kTexts, std::size(kTexts)), Pick(pick, kTexts, std::size(kTexts)), pw};
                StoreResult r = AddTeam(app, t);
                if (r) {
                    const TeamRecord rec = ReadTeamRecord(app, r.index);
                    VT_FUZZ_CHECK(rec.Name == t.Name && rec.Note == t.Note && rec.Password == !pw.empty(),
                                  "team " + std::to_string(r.index));
                    VT_FUZZ_CHECK(ResolveTeamFolder(app, r.index, pw) == TeamFolderPath(app, r.name),
                                  "new team folder " + r.name);
                }
                break;
            }
            case 1: {
                TeamInput t{"Edited", "", Pick(pick, kPasswords, std::size(kPasswords))};
                std::string name = folder.empty() ? std::string() : PathToUtf8(PathFromUtf8(folder).filename());
                (void)EditTeam(app, team, name, t);
                break;
            }
            case 2:
                (void)DeleteTeam(app, team, pw);
                break;
            case 3:
                (void)SwapTeams(app, team, other);
                break;
            case 4:
                if (!folder.empty()) {
                    ItemInput item = MakeItem(pick);
                    StoreResult r = AddItem(app, folder, item);
                    if (r) CheckItem(folder, r.index, item);
                }
                break;
            case 5:
                if (!folder.empty()) {
                    ItemInput item = MakeItem(pick);
                    StoreResult r = EditItem(app, folder, other, item);
                    if (r) CheckItem(folder, r.index, item);
                }
                break;
            case 6:
                if (!folder.empty()) (void)DeleteItem(folder, other);
                break;
            case 7:
                if (!folder.empty()) (void)SwapItems(folder, team, other);
                break;
            case 8:
                if (!folder.empty() && !otherFolder.empty()) (void)SwapItems(folder, team, otherFolder, other);
                break;
        }
    }
    ReadEverything(app, prompts);

    const std::string outside = Differences(before, Snapshot(root), {"app/DATA"});
    VT_FUZZ_CHECK(outside.empty(), outside);
    return 0;
}
