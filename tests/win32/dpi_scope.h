// Programs started while one of these lives see a screen of another DPI, the
// way a user's display scaling shows them; the old value comes back at the
// end, so programs started later see the usual 96.
#pragma once

#include <windows.h>

#include <string>

namespace vt {

// The display scales the Wine tests look at: 100, 125, 150 and 200 %.
inline constexpr int kCheckedDpis[] = {96, 120, 144, 192};

// The screen's DPI as Wine reads it when a program starts.
class ScopedLogPixels {
public:
    explicit ScopedLogPixels(DWORD dpi) {
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_,
                              nullptr) != ERROR_SUCCESS) {
            key_ = nullptr;
            return;
        }
        DWORD size = sizeof(old_), type = 0;
        had_ = ::RegQueryValueExW(key_, L"LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&old_), &size) ==
                   ERROR_SUCCESS &&
               type == REG_DWORD;
        ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
    }
    ~ScopedLogPixels() {
        if (!key_) return;
        if (had_)
            ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_), sizeof(old_));
        else
            ::RegDeleteValueW(key_, L"LogPixels");
        ::RegCloseKey(key_);
    }
    ScopedLogPixels(const ScopedLogPixels&) = delete;
    ScopedLogPixels& operator=(const ScopedLogPixels&) = delete;

private:
    static constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
    HKEY key_ = nullptr;
    bool had_ = false;
    DWORD old_ = 96;
};

// "" at 96 dpi, "_144dpi" otherwise: screenshot names that keep the 96-dpi
// ones as they always were.
inline std::wstring DpiSuffix(int dpi) {
    return dpi == 96 ? std::wstring() : L"_" + std::to_wstring(dpi) + L"dpi";
}

}  // namespace vt
