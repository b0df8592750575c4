// What the Windows benches share: registry values put back afterwards, the
// program's visible top-level window, what the screen shows inside it over
// time, and the bench's own folder.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "tests/win32/screen_pixels.h"

// One registry value, put back as it was when the bench ends.
class SavedValue {
public:
    SavedValue(const wchar_t* key, const wchar_t* name, HKEY root = HKEY_LOCAL_MACHINE)
        : root_(root), key_(key), name_(name) {
        DWORD size = 0;
        if (RegGetValueW(root_, key, name, RRF_RT_ANY | RRF_NOEXPAND, &type_, nullptr, &size) == ERROR_SUCCESS) {
            bytes_.resize(size);
            had_ = RegGetValueW(root_, key, name, RRF_RT_ANY | RRF_NOEXPAND, &type_, bytes_.data(), &size) ==
                   ERROR_SUCCESS;
            bytes_.resize(size);
        }
    }
    ~SavedValue() {
        HKEY k = nullptr;
        if (RegCreateKeyExW(root_, key_, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS) return;
        if (had_)
            RegSetValueExW(k, name_, 0, type_, bytes_.data(), static_cast<DWORD>(bytes_.size()));
        else
            RegDeleteValueW(k, name_);
        RegCloseKey(k);
    }
    void Set(std::optional<DWORD> value) {
        HKEY k = nullptr;
        if (RegCreateKeyExW(root_, key_, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS) return;
        if (value)
            RegSetValueExW(k, name_, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*value), sizeof(DWORD));
        else
            RegDeleteValueW(k, name_);
        RegCloseKey(k);
    }

private:
    HKEY root_;
    const wchar_t* key_;
    const wchar_t* name_;
    bool had_ = false;
    DWORD type_ = 0;
    std::vector<BYTE> bytes_;
};

inline HWND VisibleWindowOf(DWORD pid) {
    struct Search {
        DWORD pid;
        HWND found;
    } s{pid, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == s->pid && IsWindowVisible(w) && !GetWindow(w, GW_OWNER)) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// A fingerprint of what the screen shows inside the window's rectangle.
inline uint64_t ScreenHash(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    if (r.right <= r.left || r.bottom <= r.top) return 0;
    return vt::PixelsHash(vt::ScreenPixels(r));
}

using BenchClock = std::chrono::steady_clock;

inline double Ms(BenchClock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Looks at a window again and again: when did it first show what it showed last?
class ScreenSamples {
public:
    void Take(HWND w) { samples_.push_back({BenchClock::now(), ScreenHash(w)}); }
    bool Empty() const { return samples_.empty(); }
    // Milliseconds from start to the first look that saw the final picture; negative with no look.
    double SettledAfter(BenchClock::time_point start) const {
        for (const Sample& s : samples_)
            if (s.hash == samples_.back().hash) return Ms(s.at - start);
        return -1;
    }

private:
    struct Sample {
        BenchClock::time_point at;
        uint64_t hash;
    };
    std::vector<Sample> samples_;
};

inline std::filesystem::path OwnFolder() {
    wchar_t buf[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, buf, MAX_PATH * 4);
    return std::filesystem::path(buf).parent_path();
}
