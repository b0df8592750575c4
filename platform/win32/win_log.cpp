#include "platform/win32/win_log.h"

#include <atomic>
#include <string>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

std::atomic<LogListener> g_listener{nullptr};

}  // namespace

void LogLine(const std::wstring& text) {
    std::wstring line = L"Vantrel: " + text;
    if (line.back() != L'\n') line += L'\n';
    ::OutputDebugStringW(line.c_str());
    if (LogListener listener = g_listener.load()) listener(line);
}

void SetLogListener(LogListener listener) {
    g_listener.store(listener);
}

void LogWin32Failure(const char* call, DWORD error) {
    wchar_t* text = nullptr;
    DWORD n =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring line = Widen(call) + L" failed (" + std::to_wstring(error) + L"): ";
    if (n && text) line += text;
    if (text) ::LocalFree(text);
    LogLine(line);
}

}  // namespace vt
