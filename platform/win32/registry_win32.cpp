#include "platform/win32/registry_win32.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/win32/win_text.h"

namespace vt {
namespace {

HKEY RootHandle(RegRoot root) {
    switch (root) {
        case RegRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RegRoot::Users:
            return HKEY_USERS;
    }
    return HKEY_CURRENT_USER;
}

// Owns one open key; closes it on every path out of the calling function.
class Key {
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (h_) RegCloseKey(h_);
    }
    HKEY get() const { return h_; }
    HKEY* put() { return &h_; }

private:
    HKEY h_ = nullptr;
};

LSTATUS Open(RegRoot root, const std::string& key, Key& out) {
    return RegOpenKeyExW(RootHandle(root), Widen(key).c_str(), 0, Win32Registry::kAccess, out.put());
}

LSTATUS OpenForReading(RegRoot root, const std::string& key, Key& out) {
    return RegOpenKeyExW(RootHandle(root), Widen(key).c_str(), 0, KEY_READ, out.put());
}

std::string CanonicalKey(const std::string& key) {
    std::string k = key;
    while (!k.empty() && k.front() == '\\')
        k.erase(k.begin());
    while (!k.empty() && k.back() == '\\')
        k.pop_back();
    std::transform(k.begin(), k.end(), k.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return k;
}

bool MissingKeyOrValue(long status) {
    return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

LSTATUS Create(RegRoot root, const std::string& key, Key& out) {
    return RegCreateKeyExW(RootHandle(root), Widen(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           Win32Registry::kAccess, nullptr, out.put(), nullptr);
}

long SetRaw(RegRoot root, const std::string& key, const std::string& value, DWORD type, const void* data, DWORD size) {
    Key k;
    LSTATUS st = Create(root, key, k);
    if (st != ERROR_SUCCESS) return st;
    return RegSetValueExW(k.get(), Widen(value).c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

long DeleteRaw(RegRoot root, const std::string& key, const std::string& value) {
    Key k;
    LSTATUS st = Open(root, key, k);
    if (st != ERROR_SUCCESS) return MissingKeyOrValue(st) ? ERROR_SUCCESS : st;
    return RegDeleteValueW(k.get(), Widen(value).c_str());
}

}  // namespace

Win32Registry::~Win32Registry() {
    for (auto& [place, key] : readKeys_)
        RegCloseKey(static_cast<HKEY>(key));
}

void* Win32Registry::ReadHandle(const Place& p) {
    std::lock_guard<std::mutex> g(readLock_);
    auto id = std::make_pair(p.root, CanonicalKey(p.key));
    auto it = readKeys_.find(id);
    if (it != readKeys_.end()) return it->second;
    // A missing key is not remembered: it may be created at any time.
    HKEY k = nullptr;
    if (RegOpenKeyExW(RootHandle(p.root), Widen(p.key).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return nullptr;
    readKeys_.emplace(id, k);
    return k;
}

void Win32Registry::ForgetReadHandle(const Place& p) {
    std::lock_guard<std::mutex> g(readLock_);
    auto it = readKeys_.find(std::make_pair(p.root, CanonicalKey(p.key)));
    if (it == readKeys_.end()) return;
    RegCloseKey(static_cast<HKEY>(it->second));
    readKeys_.erase(it);
}

template <class Query>
long Win32Registry::ReadFrom(const Place& p, Query query) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        HKEY k = static_cast<HKEY>(ReadHandle(p));
        if (!k) return ERROR_FILE_NOT_FOUND;
        LSTATUS st = query(k);
        if (st != ERROR_KEY_DELETED) return st;
        ForgetReadHandle(p);
    }
    return ERROR_FILE_NOT_FOUND;
}

bool Win32Registry::HasValue(const Place& p, const std::string& value) {
    const std::wstring name = Widen(value);
    return ReadFrom(p, [&](HKEY k) { return RegQueryValueExW(k, name.c_str(), nullptr, nullptr, nullptr, nullptr); }) ==
           ERROR_SUCCESS;
}

void Win32Registry::RedirectRoot(RegRoot root, RegRoot target, const std::string& prefix) {
    std::string p = prefix;
    while (!p.empty() && p.back() == '\\')
        p.pop_back();
    redirects_[root] = Redirect{target, p};
}

void Win32Registry::ClearRedirects() {
    redirects_.clear();
}

Win32Registry::Place Win32Registry::Resolve(RegRoot root, const std::string& key) const {
    auto it = redirects_.find(root);
    if (it == redirects_.end()) return {root, key};
    std::string k = key;
    while (!k.empty() && k.front() == '\\')
        k.erase(k.begin());
    if (k.empty()) return {it->second.target, it->second.prefix};
    if (it->second.prefix.empty()) return {it->second.target, k};
    return {it->second.target, it->second.prefix + "\\" + k};
}

bool Win32Registry::HasUserOverlay(RegRoot root, const std::string& key) {
    if (root != RegRoot::LocalMachine) return false;
    const std::string k = CanonicalKey(key);
    const std::string own = "SOFTWARE\\OSKARN\\VANTREL";
    if (k == own || k.rfind(own + "\\", 0) == 0) return true;
    return k == "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN";
}

bool Win32Registry::KeyExists(RegRoot root, const std::string& key) {
    // Asking a kept handle about its key also tells whether it was deleted.
    auto exists = [this](const Place& p) {
        return ReadFrom(p, [](HKEY k) {
                   return RegQueryInfoKeyW(k, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                           nullptr, nullptr, nullptr);
               }) == ERROR_SUCCESS;
    };
    if (HasUserOverlay(root, key) && exists(Resolve(RegRoot::CurrentUser, key))) return true;
    return exists(Resolve(root, key));
}

std::optional<uint32_t> Win32Registry::QueryDword(RegRoot root, const std::string& key, const std::string& value) {
    if (HasUserOverlay(root, key)) {
        Place user = Resolve(RegRoot::CurrentUser, key);
        if (HasValue(user, value)) return QueryDword(RegRoot::CurrentUser, key, value);
    }
    const std::wstring name = Widen(value);
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof(data);
    LSTATUS st = ReadFrom(Resolve(root, key), [&](HKEY k) {
        size = sizeof(data);
        return RegQueryValueExW(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    });
    if (st != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(data)) return std::nullopt;
    return data;
}

std::optional<std::string> Win32Registry::QueryString(RegRoot root, const std::string& key, const std::string& value) {
    if (HasUserOverlay(root, key)) {
        Place user = Resolve(RegRoot::CurrentUser, key);
        if (HasValue(user, value)) return QueryString(RegRoot::CurrentUser, key, value);
    }
    const Place p = Resolve(root, key);
    const std::wstring name = Widen(value);
    std::vector<wchar_t> buf(256);
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        LSTATUS st = ReadFrom(p, [&](HKEY k) {
            size = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
            return RegQueryValueExW(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size);
        });
        if (st == ERROR_MORE_DATA) {
            // The value may grow between calls; ask again with what it said.
            buf.resize(size / sizeof(wchar_t) + 2);
            continue;
        }
        if (st != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
        // The stored length may or may not count a NUL, and may even be odd.
        std::wstring_view text(buf.data(), size / sizeof(wchar_t));
        size_t nul = text.find(L'\0');
        if (nul != std::wstring_view::npos) text = text.substr(0, nul);
        return Narrow(text);
    }
    return std::nullopt;
}

long Win32Registry::SetDirect(RegRoot root, const std::string& key, const std::string& value, unsigned long type,
                              const void* data, unsigned long size) {
    if (refused_.count(root)) return ERROR_ACCESS_DENIED;
    Place p = Resolve(root, key);
    return SetRaw(p.root, p.key, value, type, data, size);
}

long Win32Registry::DeleteDirect(RegRoot root, const std::string& key, const std::string& value) {
    if (refused_.count(root)) return ERROR_ACCESS_DENIED;
    Place p = Resolve(root, key);
    return DeleteRaw(p.root, p.key, value);
}

long Win32Registry::SetValue(RegRoot root, const std::string& key, const std::string& value, unsigned long type,
                             const void* data, unsigned long size) {
    long st = SetDirect(root, key, value, type, data, size);
    if (!HasUserOverlay(root, key)) return st;
    if (st == ERROR_ACCESS_DENIED) return SetDirect(RegRoot::CurrentUser, key, value, type, data, size);
    // An older per-user copy would hide what the machine key now holds.
    if (st == ERROR_SUCCESS) (void)DeleteDirect(RegRoot::CurrentUser, key, value);
    return st;
}

long Win32Registry::SetDword(RegRoot root, const std::string& key, const std::string& value, uint32_t data) {
    DWORD d = data;
    return SetValue(root, key, value, REG_DWORD, &d, sizeof(d));
}

long Win32Registry::SetString(RegRoot root, const std::string& key, const std::string& value, const std::string& data) {
    std::wstring w = Widen(data);
    return SetValue(root, key, value, REG_SZ, w.c_str(), static_cast<DWORD>(w.size() * sizeof(wchar_t)));
}

long Win32Registry::SetBinary(RegRoot root, const std::string& key, const std::string& value,
                              const std::string& bytes) {
    return SetValue(root, key, value, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

long Win32Registry::DeleteValue(RegRoot root, const std::string& key, const std::string& value) {
    if (!HasUserOverlay(root, key)) return DeleteDirect(root, key, value);
    Place user = Resolve(RegRoot::CurrentUser, key);
    const bool userHad = HasValue(user, value);
    if (userHad) {
        long st = DeleteDirect(RegRoot::CurrentUser, key, value);
        if (st != ERROR_SUCCESS) return st;
    }
    long machine = DeleteDirect(root, key, value);
    if (machine == ERROR_ACCESS_DENIED) {
        // Refused even to open the key for writing: fine when there was nothing to delete.
        Place p = Resolve(root, key);
        if (!HasValue(p, value)) return ERROR_SUCCESS;
    }
    if (userHad && MissingKeyOrValue(machine)) return ERROR_SUCCESS;
    return machine;
}

std::vector<std::string> Win32Registry::EnumSubKeys(RegRoot root, const std::string& key) {
    Place p = Resolve(root, key);
    Key k;
    std::vector<std::string> names;
    if (OpenForReading(p.root, p.key, k) != ERROR_SUCCESS) return names;
    wchar_t name[513];
    for (DWORD i = 0;; ++i) {
        DWORD len = static_cast<DWORD>(std::size(name));
        if (RegEnumKeyExW(k.get(), i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(Narrow(std::wstring_view(name, len)));
    }
    return names;
}

}  // namespace vt
