// What the Windows benches share: registry values put back afterwards, the
// program's visible top-level window, and a fingerprint of what the screen
// shows inside it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

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
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return 0;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, width, height, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
    SelectObject(mem, old);
    uint64_t h = 1469598103934665603ull;
    const auto* p = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i)
        h = (h ^ (p[i] & 0xFFFFFF)) * 1099511628211ull;
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return h;
}
