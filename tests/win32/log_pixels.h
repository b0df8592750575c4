// The screen's DPI as Wine reads it when a program starts, set for one test:
// the user's value (Control Panel\Desktop) and the machine's (the current
// hardware profile's fonts key), both put back at the end, so programs started
// later see the usual 96 again.
#pragma once

#include <windows.h>

namespace vt {

class ScopedLogPixels {
public:
    explicit ScopedLogPixels(DWORD dpi)
        : user_(HKEY_CURRENT_USER, L"Control Panel\\Desktop", dpi),
          machine_(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts", dpi) {
    }

private:
    class Value {
    public:
        Value(HKEY root, const wchar_t* path, DWORD dpi) {
            if (::RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_, nullptr) !=
                ERROR_SUCCESS) {
                key_ = nullptr;
                return;
            }
            DWORD size = sizeof(old_), type = 0;
            had_ = ::RegQueryValueExW(key_, L"LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&old_), &size) ==
                       ERROR_SUCCESS &&
                   type == REG_DWORD;
            ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
        }
        ~Value() {
            if (!key_) return;
            if (had_)
                ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_), sizeof(old_));
            else
                ::RegDeleteValueW(key_, L"LogPixels");
            ::RegCloseKey(key_);
        }
        Value(const Value&) = delete;
        Value& operator=(const Value&) = delete;

    private:
        HKEY key_ = nullptr;
        bool had_ = false;
        DWORD old_ = 96;
    };
    Value user_;
    Value machine_;
};

}  // namespace vt
