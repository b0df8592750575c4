#include <windows.h>

#include "common/atomic_file.h"

namespace vt {

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
