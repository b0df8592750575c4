#include <windows.h>

#include <atomic>

#include "common/atomic_file.h"

namespace vt {

namespace {

// A virus scanner, an indexer, a backup or sync tool may hold a file open
// without sharing for a moment; reads and renames give it this long before
// calling the file unavailable.
constexpr int kBusyAttempts = 20;
constexpr DWORD kBusyPauseMs = 25;

bool IsBusy(DWORD err) {
    return err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION || err == ERROR_ACCESS_DENIED;
}

// Opens `file` for reading, waiting for a busy file when asked. Sets
// `missing` when there is no such file.
HANDLE OpenForRead(const std::filesystem::path& file, bool wait, bool& missing) {
    missing = false;
    for (int attempt = 0;; ++attempt) {
        // Straight to the system: the C++ streams and file-system calls asked
        // for the file's attributes three times before reading it, which under
        // Wine made loading a skin's pictures slower than decoding them.
        // Opening a folder this way fails, so a folder reads as "cannot read".
        HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (h != INVALID_HANDLE_VALUE) return h;
        const DWORD err = GetLastError();
        if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) {
            missing = true;
            return h;
        }
        if (!wait || !IsBusy(err) || attempt + 1 >= kBusyAttempts) return h;
        Sleep(kBusyPauseMs);
    }
}

}  // namespace

FileContents ReadFileForRewrite(const std::filesystem::path& file, bool wait) {
    FileContents out;
    bool missing = false;
    HANDLE h = OpenForRead(file, wait, missing);
    if (h == INVALID_HANDLE_VALUE) {
        out.state = missing ? FileContents::Missing : FileContents::Unreadable;
        return out;
    }
    out.state = FileContents::Unreadable;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(h, &size) && size.QuadPart >= 0 && size.QuadPart < (1LL << 31)) {
        try {
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
                out.bytes = std::move(data);
                out.state = FileContents::Read;
            }
        } catch (const std::bad_alloc&) {
            out.bytes.clear();
        }
    }
    CloseHandle(h);
    return out;
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& file) {
    FileContents c = ReadFileForRewrite(file, false);
    if (c.state != FileContents::Read) return std::nullopt;
    return std::move(c.bytes);
}

uint64_t NextAtomicTempTag() {
    static std::atomic<uint32_t> counter{0};
    return (static_cast<uint64_t>(GetCurrentProcessId()) << 32) | counter.fetch_add(1);
}

bool WriteFileAtomic(const std::filesystem::path& file, std::string_view bytes) {
    std::wstring tmp;
    HANDLE h = INVALID_HANDLE_VALUE;
    // CREATE_NEW: a leftover of a dead process that had our id is never reused.
    for (int attempt = 0; attempt < 8 && h == INVALID_HANDLE_VALUE; ++attempt) {
        tmp = AtomicTempName(file, NextAtomicTempTag()).wstring();
        h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
    }
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
        for (int attempt = 0; attempt < kBusyAttempts; ++attempt) {
            // Write-through: the call returns once the new name is on disk,
            // so a power cut after a reported success cannot undo it.
            if (MoveFileExW(tmp.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
                RemoveStaleTempFiles(file.parent_path());
                return true;
            }
            if (!IsBusy(GetLastError())) break;
            Sleep(kBusyPauseMs);
        }
    }
    DeleteFileW(tmp.c_str());
    return false;
}

bool RestoreUnfinishedSave(const UnfinishedSave& save) {
    // No MOVEFILE_REPLACE_EXISTING: a file that has appeared under the name
    // meanwhile is newer than the leftover and stays.
    return MoveFileExW(save.temp.c_str(), save.target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace vt
