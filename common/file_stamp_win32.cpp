#include <windows.h>
#include <winternl.h>

#include <algorithm>

#include "common/codepage.h"
#include "common/file_stamp.h"

namespace vt {

namespace {

constexpr int64_t kSecond = 10000000;  // FILETIME units

// What NtQueryFullAttributesFile fills in; the documented GetFileAttributesEx
// drops the change time, which is the field that moves when a file is
// renamed into place.
struct NetworkOpenInfo {
    LARGE_INTEGER CreationTime, LastAccessTime, LastWriteTime, ChangeTime, AllocationSize, EndOfFile;
    ULONG FileAttributes;
};
using QueryFullAttributes = NTSTATUS(NTAPI*)(POBJECT_ATTRIBUTES, NetworkOpenInfo*);
using DosPathToNtPath = NTSTATUS(NTAPI*)(PCWSTR, PUNICODE_STRING, PWSTR*, void*);
using FreeUnicode = void(NTAPI*)(PUNICODE_STRING);

struct Ntdll {
    QueryFullAttributes query = nullptr;
    DosPathToNtPath toNt = nullptr;
    FreeUnicode freeString = nullptr;
    Ntdll() {
        HMODULE nt = GetModuleHandleW(L"ntdll.dll");
        if (!nt) return;
        query = reinterpret_cast<QueryFullAttributes>(
            reinterpret_cast<void*>(GetProcAddress(nt, "NtQueryFullAttributesFile")));
        toNt = reinterpret_cast<DosPathToNtPath>(
            reinterpret_cast<void*>(GetProcAddress(nt, "RtlDosPathNameToNtPathName_U_WithStatus")));
        freeString = reinterpret_cast<FreeUnicode>(reinterpret_cast<void*>(GetProcAddress(nt, "RtlFreeUnicodeString")));
    }
    bool usable() const { return query && toNt && freeString; }
};

const Ntdll& Nt() {
    static const Ntdll nt;
    return nt;
}

// The last file asked about on this thread, with its system name: a reader
// asks about one file many times in a row, and converting the name each time
// cost as much as the question.
struct NtName {
    std::string utf8;
    std::wstring nt;
    bool valid = false;
};

bool ToNtName(const std::string& file, NtName& cache) {
    if (cache.valid && cache.utf8 == file) return true;
    cache.valid = false;
    UNICODE_STRING us{};
    if (Nt().toNt(PathFromUtf8(file).c_str(), &us, nullptr, nullptr) < 0) return false;
    cache.nt.assign(us.Buffer, us.Length / sizeof(wchar_t));
    Nt().freeString(&us);
    cache.utf8 = file;
    cache.valid = true;
    return true;
}

int64_t Ticks(const LARGE_INTEGER& t) {
    return static_cast<int64_t>(t.QuadPart);
}

FileStamp StampFromAttributes(const std::string& file) {
    FileStamp s;
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExW(PathFromUtf8(file).c_str(), GetFileExInfoStandard, &a)) return s;
    if (a.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return s;
    s.exists = true;
    s.mtime = static_cast<int64_t>((static_cast<uint64_t>(a.ftLastWriteTime.dwHighDateTime) << 32) |
                                   a.ftLastWriteTime.dwLowDateTime);
    // The creation time stands in for the change time: a file renamed into
    // place brings its own.
    s.ctime = static_cast<int64_t>((static_cast<uint64_t>(a.ftCreationTime.dwHighDateTime) << 32) |
                                   a.ftCreationTime.dwLowDateTime);
    s.size = (static_cast<uint64_t>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
    return s;
}

}  // namespace

FileStamp GetFileStamp(const std::string& file) {
    if (!Nt().usable()) return StampFromAttributes(file);
    // A plain pointer, never freed: mingw's thread_local objects with a
    // destructor corrupt the heap when a worker thread ends.
    thread_local NtName* cached = nullptr;
    if (!cached) cached = new NtName;
    NtName& name = *cached;
    if (!ToNtName(file, name)) return StampFromAttributes(file);
    // One call by name, no handle opened: the cheapest way to see a change.
    UNICODE_STRING us;
    us.Buffer = name.nt.data();
    us.Length = us.MaximumLength = static_cast<USHORT>(name.nt.size() * sizeof(wchar_t));
    OBJECT_ATTRIBUTES oa;
    InitializeObjectAttributes(&oa, &us, OBJ_CASE_INSENSITIVE, nullptr, nullptr);
    NetworkOpenInfo info;
    FileStamp s;
    if (Nt().query(&oa, &info) < 0 || (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return s;
    s.exists = true;
    s.mtime = Ticks(info.LastWriteTime);
    s.ctime = Ticks(info.ChangeTime);
    s.size = static_cast<uint64_t>(info.EndOfFile.QuadPart);
    return s;
}

int64_t FileClockNow() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}

int64_t StampTick(const std::string& file) {
    // NTFS and ReFS take times from the system clock, which moves in steps
    // of its timer (16 ms at most); FAT keeps two-second steps, exFAT is
    // finer but shares FAT's rounding rules; a network share takes the
    // server's clock, whose skew nobody knows.
    constexpr int64_t kFine = kSecond / 10, kCoarse = 3 * kSecond;
    wchar_t root[MAX_PATH + 1];
    if (!GetVolumePathNameW(PathFromUtf8(file).c_str(), root, MAX_PATH)) return kCoarse;
    if (GetDriveTypeW(root) == DRIVE_REMOTE) return kCoarse;
    // Through a handle of the volume's root, asking for the file system's
    // name only: the by-name call also reads the volume's label, which
    // needs rights on the device that a user may not have.
    HANDLE h = CreateFileW(root, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return kCoarse;
    wchar_t fsName[MAX_PATH + 1];
    const bool named = GetVolumeInformationByHandleW(h, nullptr, 0, nullptr, nullptr, nullptr, fsName, MAX_PATH);
    CloseHandle(h);
    if (!named) return kCoarse;
    return (lstrcmpiW(fsName, L"NTFS") == 0 || lstrcmpiW(fsName, L"ReFS") == 0) ? kFine : kCoarse;
}

bool StampIsSettled(const FileStamp& stamp, int64_t now, int64_t tick) {
    const int64_t newest = std::max(stamp.mtime, stamp.ctime);
    return stamp.exists && now - newest > tick;
}

}  // namespace vt
