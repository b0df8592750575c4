// The registry as the core sees it. Text is UTF-8; the Win32 adapter stores it
// in the ANSI code page like every other string the program keeps on disk.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vt {

enum class RegRoot { ClassesRoot = 0, CurrentUser = 1, LocalMachine = 2, Users = 3 };

class Registry {
public:
    virtual ~Registry() = default;
    // True when the key exists and can be opened.
    virtual bool KeyExists(RegRoot root, const std::string& key) = 0;
    // nullopt when the key or value is missing or has another type.
    virtual std::optional<uint32_t> QueryDword(RegRoot root, const std::string& key, const std::string& value) = 0;
    virtual std::optional<std::string> QueryString(RegRoot root, const std::string& key, const std::string& value) = 0;
    // Create the key when needed. Return the system status, 0 on success.
    virtual long SetDword(RegRoot root, const std::string& key, const std::string& value, uint32_t data) = 0;
    virtual long SetString(RegRoot root, const std::string& key, const std::string& value, const std::string& data) = 0;
    // Binary data given as raw bytes.
    virtual long SetBinary(RegRoot root, const std::string& key, const std::string& value,
                           const std::string& bytes) = 0;
    virtual long DeleteValue(RegRoot root, const std::string& key, const std::string& value) = 0;
    // Names of the direct subkeys of key, in enumeration order; empty when the
    // key is missing. Implementations that cannot enumerate report none.
    virtual std::vector<std::string> EnumSubKeys(RegRoot root, const std::string& key) { return {}; }
};

}  // namespace vt
