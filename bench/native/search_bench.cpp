// Times finding items by typing, over 10,000 items (20 teams of 500) with
// Chinese program names mixed with Latin ones: building the index, its
// memory, and each keystroke of a few queries typed letter by letter, side
// by side with a plain substring scan of the same names for the same text;
// then the first key of the find line over 500 teams of 500 items.
// Times are the thread's CPU time. Run with tools/bench; not part of the tests.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <time.h>

#include "bench/native/bench_services.h"
#include "bench/native/bench_stats.h"
#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/ini.h"
#include "launcher/mainwindow/main_model.h"
#include "launcher/search/search_index.h"
#include "launcher/search/search_store.h"
#include "launcher/store/store.h"

namespace {

using vt::bench::Ms;
using vt::bench::Stats;
using vt::bench::Summarise;

// CPU time of this thread: the machine running the benchmarks is often
// busy with other work, and time spent waiting for a core is not the
// search's own.
struct Clock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<Clock, duration>;
    static time_point now() {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return time_point(duration(static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec));
    }
};

constexpr int kTeams = 20;
constexpr int kBigTeams = 500;
constexpr int kItemsPerTeam = 500;
constexpr int kBuildRuns = 9;
constexpr int kTypingRuns = 15;

const char* const kChinese[] = {
    "记事本",     "计算器",     "画图",         "微信",       "腾讯QQ",      "QQ音乐",       "网易云音乐", "酷狗音乐",
    "百度网盘",   "迅雷",       "搜狗输入法",   "金山毒霸",   "360安全卫士", "钉钉",         "飞书",       "企业微信",
    "腾讯会议",   "爱奇艺",     "优酷",         "哔哩哔哩",   "暴风影音",    "千千静听",     "格式工厂",   "美图秀秀",
    "光影魔术手", "有道词典",   "金山词霸",     "福昕阅读器", "压缩软件",    "远程桌面连接", "命令提示符", "任务管理器",
    "控制面板",   "资源管理器", "注册表编辑器", "磁盘清理",   "截图工具",    "录音机",       "重启电脑",   "银行助手",
    "行情软件",   "乐视视频",   "绿色浏览器",   "重要文件",   "我的文档",    "下载",         "图片收藏",   "工作报表",
    "财务系统",   "考勤打卡",   "项目管理",     "通讯录",     "日程安排",    "照片查看器",   "系统还原",   "网络设置"};
const char* const kLatin[] = {"Photoshop",     "Photo Shop CS6",
                              "Adobe Reader",  "Visual Studio Code",
                              "Notepad++",     "Firefox",
                              "Google Chrome", "Microsoft Word",
                              "Excel",         "PowerPoint",
                              "Outlook",       "WinRAR",
                              "7-Zip",         "VLC media player",
                              "Foxmail",       "PotPlayer",
                              "Everything",    "Total Commander",
                              "PuTTY",         "FileZilla",
                              "Steam",         "Git Bash",
                              "Python 3.11",   "Blender",
                              "GIMP",          "Audacity",
                              "OBS Studio",    "KeePass",
                              "Thunderbird",   "Skype"};
const char* const kSuffix[] = {"", "", "", " 2024", " 专业版", " 便携版", "(旧)", " x64", "助手", " 最新版", "工具"};
const char* const kExe[] = {"notepad",      "calc",    "mspaint", "wechat",  "qq",    "cloudmusic",
                            "baidunetdisk", "thunder", "chrome",  "winword", "excel", "code",
                            "firefox",      "steam",   "vlc",     "putty"};

std::vector<std::vector<vt::SearchItemInput>> MakeItems(int teamCount) {
    std::vector<std::vector<vt::SearchItemInput>> teams(static_cast<size_t>(teamCount));
    unsigned seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    constexpr size_t nc = std::size(kChinese), nl = std::size(kLatin), ns = std::size(kSuffix), ne = std::size(kExe);
    for (int t = 0; t < teamCount; ++t) {
        for (int i = 0; i < kItemsPerTeam; ++i) {
            vt::SearchItemInput item;
            item.index = i;
            // Two in three names Chinese, some of them with a Latin part.
            const unsigned r = next();
            if (r % 3 != 0) {
                item.name = kChinese[next() % nc];
                if (r % 7 == 0) item.name += std::string(" ") + kLatin[next() % nl];
            } else {
                item.name = kLatin[next() % nl];
            }
            item.name += kSuffix[next() % ns];
            if (next() % 4 == 0) item.name += std::to_string(next() % 100);
            item.path = std::string("C:\\Program Files\\App") + std::to_string(next() % 1000) + "\\" +
                        kExe[next() % ne] + ".exe";
            item.password = next() % 50 == 0;
            item.launches = next() % 10 == 0 ? next() % 50 : 0;
            item.lastLaunch = item.launches ? 1700000000 + next() : 0;
            teams[static_cast<size_t>(t)].push_back(std::move(item));
        }
    }
    return teams;
}

void Build(vt::SearchIndex& index, const std::vector<std::vector<vt::SearchItemInput>>& items) {
    index.Clear();
    for (int t = 0; t < kTeams; ++t)
        index.SetTeam({t, "类别" + std::to_string(t), false, items[static_cast<size_t>(t)]});
}

// The same items as a store on disk, written the way the store writes its
// files (INI and line files in the ANSI code page), without going through
// ten thousand single saves.
bool WriteStore(const std::string& app, const std::vector<std::vector<vt::SearchItemInput>>& items) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(vt::PathFromUtf8(vt::DataDir(app)), ec);
    const int teamCount = static_cast<int>(items.size());
    std::string teams = "[TEAM]\r\nCount=" + std::to_string(teamCount) + "\r\n";
    for (int t = 0; t < teamCount; ++t) {
        const std::string folder = "BENCH" + std::to_string(10000 + t);
        teams += "[" + std::to_string(t) + "]\r\nName=类别" + std::to_string(t) +
                 "\r\nNote=\r\nPassword=False\r\nPath=" + folder + "\r\n";
        const std::string dir = vt::DataDir(app) + folder;
        fs::create_directories(vt::PathFromUtf8(dir), ec);
        std::string list = "[ITEM]\r\nCount=" + std::to_string(kItemsPerTeam) + "\r\n", paths;
        int line = 0;
        for (const vt::SearchItemInput& item : items[static_cast<size_t>(t)]) {
            list += "[" + std::to_string(item.index) + "]\r\nName=" + item.name +
                    "\r\nType=0\r\nMode=0\r\nNote=\r\nPath=" + std::to_string(++line) +
                    "\r\nPara=0\r\nIconIndex=0\r\nIconPath=0\r\nIcon=[FILE]\r\nPassword=False\r\n";
            paths += item.path + "\r\n";
        }
        if (!vt::WriteFileAtomic(vt::PathFromUtf8(vt::ItemSetFile(dir)), vt::Utf8ToAnsi(list)) ||
            !vt::WriteFileAtomic(vt::PathFromUtf8(vt::PathSetFile(dir)), vt::Utf8ToAnsi(paths)))
            return false;
    }
    return vt::WriteFileAtomic(vt::PathFromUtf8(vt::TeamSetFile(app)), vt::Utf8ToAnsi(teams));
}

// The first key of the find line over a big store (kBigTeams teams of
// kItemsPerTeam), through MainModel as the window drives it: how long the key
// holds the window's thread, and then each tick of the loading behind it
// until every team is in, with the results checked against a search of the
// whole store read at once.
void FirstKeyOfABigStore() {
    namespace fs = std::filesystem;
    const auto items = MakeItems(kBigTeams);
    const fs::path dir =
        fs::temp_directory_path() /
        ("vt-find-bench-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    const std::string app = vt::PathToUtf8(dir) + "/";
    if (!WriteStore(app, items)) {
        std::printf("first key: cannot write the store in %s\n", app.c_str());
        return;
    }
    vt::bench::BenchServices services;
    vt::Settings settings;
    settings.AppDir = app;
    std::vector<double> firsts, ticks, totals;
    size_t tickCount = 0;
    bool same = true;
    for (int run = 0; run < 3; ++run) {
        vt::FlushIniCache();
        vt::MainModel model(services.Services(), settings);
        model.ShowTeams();
        auto t0 = Clock::now();
        model.FindType("j");
        const double first = Ms(Clock::now() - t0);
        firsts.push_back(first);
        double total = first;
        while (model.FindLoading()) {
            t0 = Clock::now();
            model.OnFindLoadTick();
            const double tick = Ms(Clock::now() - t0);
            ticks.push_back(tick);
            total += tick;
            ++tickCount;
        }
        totals.push_back(total);
        vt::SearchIndex whole;
        vt::LoadSearchIndex(whole, app);
        const std::vector<vt::SearchHit> want = vt::Search(whole, "j");
        same = same && static_cast<size_t>(model.FoundCount()) == std::min<size_t>(want.size(), 200);
        for (int r = 0; same && r < model.FoundCount(); ++r)
            same = model.GetScene().At(vt::Part::LabItem, r).text == whole.ItemName(want[r].team, want[r].item) &&
                   model.GetScene().At(vt::Part::LabHit, r).text == whole.TeamName(want[r].team);
    }
    const Stats first = Summarise(firsts), tick = Summarise(ticks), total = Summarise(totals);
    std::printf("first key of the find line, %d teams of %d (CPU, through MainModel):\n", kBigTeams, kItemsPerTeam);
    std::printf("  the key itself: median %.1f ms, worst %.1f ms\n", first.median, first.worst);
    std::printf("  loading ticks after it: %zu per run, median %.1f ms, worst %.1f ms\n", tickCount / 3, tick.median,
                tick.worst);
    std::printf("  key and ticks together: median %.0f ms; results after loading %s the whole store's\n", total.median,
                same ? "equal" : "DIFFER FROM");
    std::error_code ec;
    fs::remove_all(dir, ec);
}

}  // namespace

int main() {
    const auto items = MakeItems(kTeams);
    std::vector<std::string> names;
    for (const auto& team : items)
        for (const auto& item : team)
            names.push_back(item.name);

    vt::SearchIndex index;
    std::vector<double> builds;
    for (int run = 0; run < kBuildRuns; ++run) {
        const auto t0 = Clock::now();
        Build(index, items);
        builds.push_back(Ms(Clock::now() - t0));
    }
    const Stats build = Summarise(builds);
    std::printf("index build, %zu items: median %.2f ms, worst %.2f ms\n", index.ItemCount(), build.median,
                build.worst);
    {
        namespace fs = std::filesystem;
        const fs::path dir =
            fs::temp_directory_path() /
            ("vt-search-bench-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        const std::string app = vt::PathToUtf8(dir) + "/";
        if (WriteStore(app, items)) {
            std::vector<double> loads;
            for (int run = 0; run < 3; ++run) {
                vt::FlushIniCache();
                vt::SearchIndex fromDisk;
                const auto t0 = Clock::now();
                vt::LoadSearchIndex(fromDisk, app);
                loads.push_back(Ms(Clock::now() - t0));
                if (fromDisk.ItemCount() != index.ItemCount())
                    std::printf("store load: %zu items read\n", fromDisk.ItemCount());
            }
            const Stats load = Summarise(loads);
            std::printf("index from the store on disk, %d teams of %d: median %.1f ms, worst %.1f ms (CPU)\n", kTeams,
                        kItemsPerTeam, load.median, load.worst);
        }
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::printf("index memory: %.0f KB (%.0f bytes per item)\n", index.MemoryBytes() / 1024.0,
                static_cast<double>(index.MemoryBytes()) / static_cast<double>(index.ItemCount()));

    const char* const queries[] = {"jishiben", "jsb",           "weixin", "wx",       "qqyy", "photoshop",
                                   "ps",       "notepad",       "记事本", "zhongyao", "lvse", "yinhang",
                                   "a",        "xiangmuguanli", "360"};
    // Every keystroke is timed kTypingRuns times; its median stands for it, so
    // a moment the machine was busy elsewhere does not pass for the worst key.
    struct Key {
        bool first;
        std::string text;
        std::vector<double> typed, fresh, plain;
    };
    std::vector<Key> keys;
    size_t hits = 0;
    for (int run = 0; run < kTypingRuns; ++run) {
        size_t k = 0;
        for (const char* query : queries) {
            vt::IncrementalSearch search;
            const std::string q = query;
            for (size_t n = 1; n <= q.size(); ++n) {
                // Whole characters only, as an input method delivers them.
                if (n < q.size() && (static_cast<unsigned char>(q[n]) & 0xC0) == 0x80) continue;
                if (keys.size() <= k) keys.push_back({n == 1, q.substr(0, n), {}, {}, {}});
                Key& key = keys[k++];
                const std::string text = q.substr(0, n);
                auto t0 = Clock::now();
                hits += search.Update(index, text).size();
                key.typed.push_back(Ms(Clock::now() - t0));

                t0 = Clock::now();
                hits += vt::Search(index, text).size();
                key.fresh.push_back(Ms(Clock::now() - t0));

                t0 = Clock::now();
                size_t found = 0;
                for (const std::string& name : names)
                    found += name.find(text) != std::string::npos;
                key.plain.push_back(Ms(Clock::now() - t0));
                hits += found;
            }
        }
    }
    std::vector<double> typed, firsts, later, fresh, plain, ratios;
    for (const Key& key : keys) {
        const double t = Summarise(key.typed).median, p = Summarise(key.plain).median;
        typed.push_back(t);
        (key.first ? firsts : later).push_back(t);
        fresh.push_back(Summarise(key.fresh).median);
        plain.push_back(p);
        ratios.push_back(t / std::max(p, 1e-6));
    }
    const auto slowest = std::max_element(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        return Summarise(a.typed).median < Summarise(b.typed).median;
    });
    const Stats key = Summarise(typed), first = Summarise(firsts), narrow = Summarise(later), one = Summarise(fresh),
                scan = Summarise(plain), ratio = Summarise(ratios);
    std::printf("per keystroke, %zu items, %zu keys: median %.3f ms, worst %.3f ms\n", index.ItemCount(), keys.size(),
                key.median, key.worst);
    std::printf("  slowest key: \"%s\"\n", slowest->text.c_str());
    std::printf("  first letter (whole index): median %.3f ms, worst %.3f ms\n", first.median, first.worst);
    std::printf("  later letters (narrowing): median %.3f ms, worst %.3f ms\n", narrow.median, narrow.worst);
    std::printf("  fresh search of the same text: median %.3f ms, worst %.3f ms\n", one.median, one.worst);
    std::printf("plain substring scan of the names: median %.3f ms, worst %.3f ms\n", scan.median, scan.worst);
    std::printf("keystroke / plain scan of the same text: median %.1fx, worst %.1fx\n", ratio.median, ratio.worst);
    std::printf("targets: keystroke under 2 ms: %s; index under 2 MB: %s  (checksum %zu)\n",
                key.worst < 2.0 ? "met" : "MISSED", index.MemoryBytes() < 2u * 1024 * 1024 ? "met" : "MISSED", hits);
    FirstKeyOfABigStore();
    return 0;
}
