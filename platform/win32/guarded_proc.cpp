#include "platform/win32/guarded_proc.h"

#include <cstdio>
#include <exception>
#include <string>

#include "platform/win32/win_log.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

std::wstring WhatEscaped() {
    try {
        throw;
    } catch (const std::exception& e) {
        return Widen(e.what());
    } catch (...) {
        return L"an exception that is not a std::exception";
    }
}

// The program's own name, as message boxes without a title of their own show it.
std::wstring ProgramTitle() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, n < MAX_PATH ? n : 0);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    return name.substr(0, name.rfind(L'.'));
}

}  // namespace

void LogCaughtException(const char* where, UINT msg) noexcept {
    try {
        wchar_t number[16];
        std::swprintf(number, 16, L"0x%04X", msg);
        LogLine(Widen(where) + L": message " + number + L": " + WhatEscaped());
    } catch (...) {
        // Nothing is left to tell it with.
    }
}

void LogCaughtException(const char* where) noexcept {
    try {
        LogLine(Widen(where) + L": " + WhatEscaped());
    } catch (...) {
    }
}

void TellSaveFailed(HWND owner) noexcept {
    try {
        ::MessageBoxW(::IsWindow(owner) ? owner : nullptr, L"发生错误，无法保存!", ProgramTitle().c_str(), MB_OK);
    } catch (...) {
    }
}

}  // namespace vt
