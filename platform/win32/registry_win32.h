// The registry through advapi32's W functions. Text is converted between the
// program's UTF-8 and UTF-16 at the call; Windows itself keeps ANSI readers of
// the same values working.
//
// The launcher keeps its options under HKEY_LOCAL_MACHINE, which only an
// administrator may change on current Windows, yet it runs with the user's own
// rights. So that an option change is never lost, the program's own keys and
// the autorun key have a per-user overlay: a write that HKEY_LOCAL_MACHINE
// refuses goes to the same key under HKEY_CURRENT_USER, and reads look there
// first. Where the machine key takes the write, nothing changes, except that a
// per-user copy of that value is dropped so it cannot hide the new one.
#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace vt {

class Win32Registry : public Registry {
public:
    Win32Registry() = default;
    ~Win32Registry() override;
    Win32Registry(const Win32Registry&) = delete;
    Win32Registry& operator=(const Win32Registry&) = delete;

    // Access asked for by writes: query, set, create sub-key, enumerate,
    // notify and create link (KEY_ALL_ACCESS without DELETE, WRITE_DAC...).
    // Reads ask for read access only, which every user has on the machine keys.
    static constexpr unsigned long kAccess = 0x3F;

    bool KeyExists(RegRoot root, const std::string& key) override;
    std::optional<uint32_t> QueryDword(RegRoot root, const std::string& key, const std::string& value) override;
    // REG_SZ or REG_EXPAND_SZ (not expanded), read whole and cut at the first NUL.
    std::optional<std::string> QueryString(RegRoot root, const std::string& key, const std::string& value) override;
    long SetDword(RegRoot root, const std::string& key, const std::string& value, uint32_t data) override;
    // REG_SZ whose stored length does not count a terminating NUL, as the
    // launcher has always written them; readers must not rely on one.
    long SetString(RegRoot root, const std::string& key, const std::string& value, const std::string& data) override;
    long SetBinary(RegRoot root, const std::string& key, const std::string& value, const std::string& bytes) override;
    // 0 when the key or value does not exist (nothing to delete). With the
    // per-user overlay both copies go; a machine copy that cannot be removed
    // reports the refusal, since it would still be read.
    long DeleteValue(RegRoot root, const std::string& key, const std::string& value) override;
    // Subkey names by index from 0 until the enumeration fails.
    std::vector<std::string> EnumSubKeys(RegRoot root, const std::string& key) override;

    // Sends every access to `root` to `target`\`prefix` instead, so tests can
    // work on HKEY_LOCAL_MACHINE paths inside a throw-away key of the user.
    void RedirectRoot(RegRoot root, RegRoot target, const std::string& prefix);
    void ClearRedirects();

    // Makes every write to `root` (before redirection) fail with
    // ERROR_ACCESS_DENIED, as HKEY_LOCAL_MACHINE does for a user without
    // administrator rights; for tests on a prefix where everyone is one.
    void RefuseWrites(RegRoot root) { refused_.insert(root); }

    // True for the keys that have the per-user overlay: HKEY_LOCAL_MACHINE's
    // "SOFTWARE\Oskarn\Vantrel" and everything below it, and the autorun key.
    static bool HasUserOverlay(RegRoot root, const std::string& key);

private:
    long SetValue(RegRoot root, const std::string& key, const std::string& value, unsigned long type, const void* data,
                  unsigned long size);
    long SetDirect(RegRoot root, const std::string& key, const std::string& value, unsigned long type, const void* data,
                   unsigned long size);
    long DeleteDirect(RegRoot root, const std::string& key, const std::string& value);

    struct Place {
        RegRoot root;
        std::string key;
    };
    Place Resolve(RegRoot root, const std::string& key) const;

    // Keys opened for reading stay open: opening and closing a key around
    // every read made three round trips to the system per value, which the
    // launcher's start (some fifty values) felt. A handle whose key was
    // deleted meanwhile is dropped and the key opened again.
    // Runs `query` (status of a read on an open key) on the key at `p`;
    // ERROR_FILE_NOT_FOUND when the key does not exist.
    template <class Query>
    long ReadFrom(const Place& p, Query query);
    bool HasValue(const Place& p, const std::string& value);
    void* ReadHandle(const Place& p);
    void ForgetReadHandle(const Place& p);
    std::map<std::pair<RegRoot, std::string>, void*> readKeys_;

    struct Redirect {
        RegRoot target;
        std::string prefix;
    };
    std::map<RegRoot, Redirect> redirects_;
    std::set<RegRoot> refused_;
    std::mutex readLock_;
};

}  // namespace vt
