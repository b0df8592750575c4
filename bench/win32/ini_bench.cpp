// Reads every key of a 500-item team list (12 keys x 500 items) through our
// profile engine and through kernel32, and prints both times and the ratios:
// lone reads (each one checks the file for changes), lone reads of a file
// written a moment ago, and reads inside one read scope.
// Run with tools/bench; not part of the test suite.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/file_stamp.h"
#include "common/ini.h"
#include "platform/win32/win_text.h"

namespace {

constexpr int kItems = 500;
const char* const kStringKeys[] = {"Name", "Note", "Icon", "StartMethod", "Password"};
const char* const kIntKeys[] = {"Type", "Mode", "Path", "Para", "IconIndex", "IconPath", "MethodIndex"};

std::string MakeItemSet() {
    std::string s = "[ITEM]\r\nCount=" + std::to_string(kItems) + "\r\n";
    for (int i = 0; i < kItems; ++i) {
        s += "[" + std::to_string(i) + "]\r\n";
        s += vt::Utf8ToAnsi("Name=项目" + std::to_string(i) + "\r\n");
        s += "Type=" + std::to_string(i % 6) + "\r\nMode=" + std::to_string(i % 4) + "\r\n";
        s += vt::Utf8ToAnsi("Note=说明 " + std::to_string(i) + "\r\n");
        s += "Path=" + std::to_string(i + 1) + "\r\nPara=" + std::to_string(i % 3 ? i + 1 : 0) + "\r\n";
        s += "IconIndex=0\r\nIconPath=" + std::to_string(i + 1) + "\r\nIcon=\\ABCDEFGHIJ.img\r\n";
        s += "StartMethod=open\r\nMethodIndex=0\r\nPassword=False\r\n";
    }
    return s;
}

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

}  // namespace

int main() {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    std::string dir = vt::Narrow(tmp) + "vt-ini-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryW(vt::Widen(dir).c_str(), nullptr);
    std::string file = dir + "\\ITEM.SET";
    if (!vt::WriteFileAtomic(vt::PathFromUtf8(file), MakeItemSet())) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        return 1;
    }
    std::string ansiFile = vt::Utf8ToAnsi(file);
    const int reads = kItems * 12;

    // Both sides read the whole list once first, so each is measured warm,
    // the way the item panel reads a team it showed before.
    long long checksum = 0;
    auto ours = [&] {
        for (int i = 0; i < kItems; ++i) {
            std::string sec = std::to_string(i);
            for (const char* k : kStringKeys)
                checksum += static_cast<long long>(vt::ReadIniString(file, sec, k, "").size());
            for (const char* k : kIntKeys)
                checksum += vt::ReadIniInt(file, sec, k, 0);
        }
    };
    auto theirs = [&] {
        char buf[255];
        for (int i = 0; i < kItems; ++i) {
            std::string sec = std::to_string(i);
            for (const char* k : kStringKeys)
                checksum += GetPrivateProfileStringA(sec.c_str(), k, "", buf, sizeof(buf), ansiFile.c_str());
            for (const char* k : kIntKeys)
                checksum += GetPrivateProfileIntA(sec.c_str(), k, 0, ansiFile.c_str());
        }
    };
    // Strings only: ReadIniString against GetPrivateProfileStringA, key by key.
    auto ourStrings = [&] {
        for (int i = 0; i < kItems; ++i) {
            std::string sec = std::to_string(i);
            for (const char* k : kStringKeys)
                checksum += static_cast<long long>(vt::ReadIniString(file, sec, k, "").size());
        }
    };
    auto theirStrings = [&] {
        char buf[255];
        for (int i = 0; i < kItems; ++i) {
            std::string sec = std::to_string(i);
            for (const char* k : kStringKeys)
                checksum += GetPrivateProfileStringA(sec.c_str(), k, "", buf, sizeof(buf), ansiFile.c_str());
        }
    };
    const int stringReads = kItems * static_cast<int>(std::size(kStringKeys));

    // Fresh: written a moment ago, within a clock tick of the file system
    // (two seconds on FAT), when a matching time stamp proves nothing and
    // each lone read compares the file's bytes as well.
    ours();
    auto f0 = Clock::now();
    ours();
    auto f1 = Clock::now();
    // Settled: the steady state of a team list nobody is writing.
    Sleep(3500);
    ours();
    theirs();

    auto t0 = Clock::now();
    ours();
    auto t1 = Clock::now();
    theirs();
    auto t2 = Clock::now();
    {
        // The way the item panel reads a team: one batch, one change check.
        vt::IniReadScope scope(file);
        ours();
    }
    auto t2b = Clock::now();

    // Where our time goes: the change check on the file, and the code page
    // conversions of names and values.
    auto t3 = Clock::now();
    for (int i = 0; i < reads; ++i)
        checksum += static_cast<long long>(vt::GetFileStamp(file).size);
    auto t4 = Clock::now();
    for (int i = 0; i < reads; ++i)
        checksum += static_cast<long long>(vt::Utf8ToAnsi("Name").size());
    auto t5 = Clock::now();
    ourStrings();
    auto t6 = Clock::now();
    theirStrings();
    auto t7 = Clock::now();

    const double lone = Seconds(t0, t1), kernel = Seconds(t1, t2), scoped = Seconds(t2, t2b), fresh = Seconds(f0, f1);
    auto line = [&](const char* what, double s) {
        std::printf("  %-44s %8.1f ms  (%6.2f us/read)  %6.1fx kernel32\n", what, s * 1000, s * 1e6 / reads,
                    s > 0 ? kernel / s : 0.0);
    };
    std::printf("ini_bench: %d reads (5 strings, 7 integers per item) of a %d-item ITEM.SET\n", reads, kItems);
    std::printf("  %-44s %8.1f ms  (%6.2f us/read)\n", "kernel32 GetPrivateProfileString/Int", kernel * 1000,
                kernel * 1e6 / reads);
    line("ours, lone reads", lone);
    line("ours, lone reads, file written just now", fresh);
    line("ours, in one read scope", scoped);
    std::printf("  of a lone read: %.2f us in its change check, %.3f us in a name conversion\n",
                Seconds(t3, t4) * 1e6 / reads, Seconds(t4, t5) * 1e6 / reads);
    const double ourS = Seconds(t5, t6), theirS = Seconds(t6, t7);
    std::printf("  strings: ReadIniString %.2f us, GetPrivateProfileStringA %.2f us per read\n",
                ourS * 1e6 / stringReads, theirS * 1e6 / stringReads);
    std::printf("  lone-read ratio: %.1fx GetPrivateProfileStringA (checksum %lld)\n", ourS > 0 ? theirS / ourS : 0.0,
                checksum);

    std::error_code ec;
    std::filesystem::remove_all(vt::PathFromUtf8(dir), ec);
    return 0;
}
