#include <windows.h>

#include "common/atomic_file.h"

namespace vt {

std::optional<std::string> ReadFileBytes(const std::filesystem::path& file) {
    // Straight to the system: the C++ streams and file-system calls asked
    // for the file's attributes three times before reading it, which under
    // Wine made loading a skin's pictures slower than decoding them.
    // Opening a folder this way fails, so a folder reads as "cannot read".
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> bytes;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(h, &size) && size.QuadPart >= 0 && size.QuadPart < (1LL << 31)) {
        std::string data(static_cast<size_t>(size.QuadPart), '\0');
        size_t got = 0;
        bool ok = true;
        while (got < data.size()) {
            DWORD n = 0;
            if (!ReadFile(h, data.data() + got, static_cast<DWORD>(data.size() - got), &n, nullptr)) {
                ok = false;
                break;
            }
            if (n == 0) break;  // the file shrank while we read it
            got += n;
        }
        if (ok) {
            data.resize(got);
            bytes = std::move(data);
        }
    }
    CloseHandle(h);
    return bytes;
}

bool WriteFileAtomic(const std::filesystem::path& file, std::string_view bytes) {
    const std::wstring tmp = AtomicTempName(file, GetTickCount() ^ GetCurrentProcessId()).wstring();
    HANDLE h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(h, p, chunk, &written, nullptr) || written == 0) {
            ok = false;
            break;
        }
        p += written;
        left -= written;
    }
    ok = ok && FlushFileBuffers(h);
    ok = CloseHandle(h) && ok;
    if (ok) {
        // A virus scanner, an indexer or an editor may hold the old file open
        // for a moment; give it a little time before calling the write failed.
        for (int attempt = 0; attempt < 20; ++attempt) {
            if (MoveFileExW(tmp.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
                RemoveStaleTempFiles(file.parent_path());
                return true;
            }
            DWORD err = GetLastError();
            if (err != ERROR_ACCESS_DENIED && err != ERROR_SHARING_VIOLATION && err != ERROR_LOCK_VIOLATION) break;
            Sleep(25);
        }
    }
    DeleteFileW(tmp.c_str());
    return false;
}

}  // namespace vt
