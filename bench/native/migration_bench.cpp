// Times the conversion of a previous version's store of 5 teams of 500 items
// (each with its own picture) and, as the baseline measured in the same run,
// writing the very files it produced once each: the lists and line files with
// the store's plain atomic write, the pictures with a file copy. Also times a few bytes of old data that claim 500
// teams of 500 items. Run with tools/bench; not part of the tests.
//   migration_bench [scratch folder]   (default: the system's temporary folder)
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/native/bench_services.h"
#include "common/atomic_file.h"
#include "common/codepage.h"
#include "launcher/store/migration.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kTeams = 5;
constexpr int kItems = 500;

void Put(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

// The old store, written plainly (it is only the input).
void MakeOldStore(const fs::path& app) {
    const fs::path data = app / "DATA";
    std::string teams = "[Team]\r\nCount=" + std::to_string(kTeams) + "\r\n";
    const std::string picture(2048, 'P');
    for (int t = 1; t <= kTeams; ++t) {
        teams += "[" + std::to_string(t) + "]\r\nName=类别" + std::to_string(t) + "\r\nNote=说明\r\nTeam=T" +
                 std::to_string(t) + "\r\n";
        const fs::path folder = data / ("TEAMT" + std::to_string(t));
        std::string items = "[Item]\r\nCount=" + std::to_string(kItems) + "\r\n";
        for (int i = 1; i <= kItems; ++i) {
            const std::string n = std::to_string(i);
            items += "[" + n + "]\r\nName=项目" + n + "\r\nType=1\r\nMode=1\r\nNote=说明" + n +
                     "\r\nCode=\r\nPath=C:\\Program Files\\App" + n + "\\app.exe\r\nCommand=/x " + n +
                     "\r\nIconOld=C:\\Program Files\\App" + n + "\\app.exe,0\r\nIcon=i" + n + ".bmp\r\n";
            Put(folder / ("i" + n + ".bmp"), picture);
        }
        Put(folder / "ITEM.QRD", vt::Utf8ToAnsi(items));
    }
    Put(data / "TEAM.QRD", vt::Utf8ToAnsi(teams));
    Put(data / "SET.QRD", "[Roll]\r\nOnTeam=-1\r\n");
}

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path scratch = (argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path()) / "vt-migration-bench";
    fs::remove_all(scratch);
    const fs::path app = scratch / "app";
    MakeOldStore(app);
    vt::bench::NoRegistry registry;

    auto start = Clock::now();
    vt::MigrationReport r = vt::ConvertOldData(vt::PathToUtf8(app) + "/", registry);
    const double migrate = Seconds(start);
    if (r.result != vt::MigrationResult::Done) {
        std::printf("conversion did not finish\n");
        return 1;
    }

    // Baseline: every file the conversion made, written once more the plain way.
    const fs::path copy = scratch / "copy";
    int files = 0;
    start = Clock::now();
    for (auto& e : fs::recursive_directory_iterator(app / "DATA")) {
        const fs::path to = copy / fs::relative(e.path(), app / "DATA");
        if (e.is_directory()) {
            fs::create_directories(to);
            continue;
        }
        fs::create_directories(to.parent_path());
        // Pictures are copied as files; the lists and line files go through the atomic write.
        if (e.path().extension() == ".img")
            fs::copy_file(e.path(), to);
        else if (!vt::WriteFileAtomic(to, vt::ReadFileBytes(e.path()).value_or("")))
            return 1;
        ++files;
    }
    const double baseline = Seconds(start);

    // A few bytes that claim far more than they hold.
    const fs::path crafted = scratch / "crafted";
    Put(crafted / "DATA" / "TEAM.QRD", "[Team]\r\nCount=500\r\n[1]\r\nTeam=X\r\n");
    Put(crafted / "DATA" / "TEAMX" / "ITEM.QRD", "[Item]\r\nCount=500\r\n[2]\r\nName=a\r\n");
    start = Clock::now();
    (void)vt::ConvertOldData(vt::PathToUtf8(crafted) + "/", registry);
    const double small = Seconds(start);

    std::printf(
        "%d teams x %d items: conversion %.3f s; baseline (the same %d files written once each) %.3f s; "
        "ratio %.2f\n",
        kTeams, kItems, migrate, files, baseline, baseline > 0 ? migrate / baseline : 0.0);
    std::printf("crafted store claiming 500 x 500: %.3f s\n", small);
    fs::remove_all(scratch);
    return 0;
}
