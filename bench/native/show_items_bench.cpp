// Times MainModel::ShowItems for a team of 500 items, in each of the three
// item layouts, with the team's list already read once (warm) and read again
// from disk every time (cold). Run with tools/bench; not part of the tests.
//   show_items_bench [skin folder]   (default: the Windows build's default skin, when found)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/native/bench_services.h"
#include "bench/native/bench_stats.h"
#include "common/codepage.h"
#include "common/ini.h"
#include "launcher/mainwindow/main_model.h"
#include "launcher/skin/skin_format.h"
#include "launcher/store/store.h"

namespace {

using vt::bench::Ms;
using vt::bench::Stats;
using vt::bench::Summarise;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kItems = 500;
constexpr int kRuns = 30;

}  // namespace

int main(int argc, char** argv) {
    fs::path skin;
    if (argc > 1) {
        skin = argv[1];
    } else {
        for (const char* build : {"build/win", "build/o-win"}) {
            fs::path p = fs::path(build) / "Vantrel" / "SKIN" / vt::PathFromUtf8(vt::kDefaultSkinFolder);
            if (fs::exists(p / "skin.vsu")) {
                skin = p;
                break;
            }
        }
    }

    fs::path dir =
        fs::temp_directory_path() / ("vt-show-items-bench-" + std::to_string(Clock::now().time_since_epoch().count()));
    fs::create_directories(dir);
    const std::string app = vt::PathToUtf8(dir) + "/";
    vt::StoreResult team = vt::AddTeam(app, vt::TeamInput{"基准", "五百个项目", ""});
    if (!team) {
        std::fprintf(stderr, "cannot write the store in %s\n", app.c_str());
        return 1;
    }
    const std::string folder = vt::ResolveTeamFolder(app, team.index, "");
    for (int i = 0; i < kItems; ++i) {
        vt::ItemInput item;
        item.Name = "项目" + std::to_string(i);
        item.Type = i % 5 == 4 ? 3 : 0;
        item.Path = "C:\\程序\\工具" + std::to_string(i) + "\\tool.exe";
        item.Note = "说明" + std::to_string(i);
        item.IconText = i % 5 == 4 ? "[DIRECTORY]" : "[FILE]";
        if (!vt::AddItem(app, folder, item)) {
            std::fprintf(stderr, "cannot add item %d\n", i);
            return 1;
        }
    }
    vt::FlushIniCache();

    vt::bench::BenchServices services;
    std::printf("MainModel::ShowItems, %d items, skin: %s\n", kItems,
                skin.empty() ? "(none: design-time layout)" : vt::PathToUtf8(skin).c_str());
    bool met = true;
    for (int layout = 0; layout < 3; ++layout) {
        vt::Settings settings;
        settings.AppDir = app;
        settings.ShowItemType = static_cast<uint8_t>(layout);
        vt::MainModel model(services.Services(), settings);
        if (!skin.empty()) model.ApplySkin(vt::PathToUtf8(skin));
        model.ShowTeams();
        model.CurrentTeam = team.index;
        model.ShowItems(team.index);  // warms the list cache and sizes the control arrays
        if (model.ItemCount() != kItems) {
            std::fprintf(stderr, "layout %d shows %d items, expected %d\n", layout, model.ItemCount(), kItems);
            return 1;
        }
        std::vector<double> warm, cold;
        for (int r = 0; r < kRuns; ++r) {
            auto t0 = Clock::now();
            model.ShowItems(team.index);
            warm.push_back(Ms(Clock::now() - t0));
        }
        for (int r = 0; r < kRuns; ++r) {
            vt::FlushIniCache();
            auto t0 = Clock::now();
            model.ShowItems(team.index);
            cold.push_back(Ms(Clock::now() - t0));
        }
        Stats w = Summarise(warm), c = Summarise(cold);
        std::printf("  layout %d: warm median %.3f ms (worst %.3f), cold median %.3f ms (worst %.3f)\n", layout,
                    w.median, w.worst, c.median, c.worst);
        met = met && c.median < 5.0;
    }
    std::printf("target: under 5 ms -> %s\n", met ? "met" : "NOT met");
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
