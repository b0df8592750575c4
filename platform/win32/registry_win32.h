// The registry through advapi32's W functions. Text is converted between the
// program's UTF-8 and UTF-16 at the call; Windows itself keeps ANSI readers of
// the same values working.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace vt {

class Win32Registry : public Registry {
public:
    // Access asked for every open: query, set, create sub-key, enumerate,
    // notify and create link (KEY_ALL_ACCESS without DELETE, WRITE_DAC...).
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
    // 0 when the key does not exist (nothing to delete).
    long DeleteValue(RegRoot root, const std::string& key, const std::string& value) override;
    // Subkey names by index from 0 until the enumeration fails.
    std::vector<std::string> EnumSubKeys(RegRoot root, const std::string& key) override;

    // Sends every access to `root` to `target`\`prefix` instead, so tests can
    // work on HKEY_LOCAL_MACHINE paths inside a throw-away key of the user.
    void RedirectRoot(RegRoot root, RegRoot target, const std::string& prefix);
    void ClearRedirects();

private:
    struct Place {
        RegRoot root;
        std::string key;
    };
    Place Resolve(RegRoot root, const std::string& key) const;

    struct Redirect {
        RegRoot target;
        std::string prefix;
    };
    std::map<RegRoot, Redirect> redirects_;
};

}  // namespace vt
