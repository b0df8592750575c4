#include "launcher/settings/settings_store.h"

#include <filesystem>
#include <limits>
#include <system_error>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/ini.h"
#include "launcher/settings/settings.h"

namespace vt {

namespace {

// System statuses the file side answers with, as the registry would.
constexpr long kWriteFault = 29;    // ERROR_WRITE_FAULT
constexpr long kNotSupported = 50;  // ERROR_NOT_SUPPORTED

std::string Fold(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// The key as the registry compares it: no separators at the ends, any case.
std::string CanonicalKey(const std::string& key) {
    size_t b = key.find_first_not_of('\\');
    size_t e = key.find_last_not_of('\\');
    if (b == std::string::npos) return {};
    return Fold(key.substr(b, e - b + 1));
}

std::string Slot(std::string_view section, std::string_view name) {
    std::string slot(section);
    slot += '\n';
    slot += Fold(name);
    return slot;
}

const char* SectionOfKey(const char* key) {
    return std::string_view(key) == kDataKey ? kPortableDataSection : kPortableSettingSection;
}

// The text the store keeps for a value of the table, or nullopt when the
// value could not be a value of that type.
std::optional<std::string> Normalised(const SettingDef& d, const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    if (d.type == SettingType::Dword) {
        auto n = DwordFromIniText(*text);
        if (!n) return std::nullopt;
        return DwordToIniText(*n);
    }
    // As GetRegString reads it: up to the first NUL, an empty text is no text.
    std::string s = text->substr(0, text->find('\0'));
    if (s.empty()) return std::nullopt;
    return s;
}

std::string DefaultText(const SettingDef& d) {
    return d.type == SettingType::Dword ? DwordToIniText(static_cast<uint32_t>(d.dwordDefault)) : d.stringDefault;
}

}  // namespace

std::string DwordToIniText(uint32_t value) {
    return std::to_string(static_cast<int32_t>(value));
}

std::optional<uint32_t> DwordFromIniText(std::string_view text) {
    size_t b = text.find_first_not_of(" \t");
    size_t e = text.find_last_not_of(" \t");
    if (b == std::string_view::npos) return std::nullopt;
    text = text.substr(b, e - b + 1);
    bool negative = false;
    if (text.front() == '-' || text.front() == '+') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    uint64_t n = 0;
    for (char c : text) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        n = n * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        if (n > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    }
    if (negative) {
        if (n > 0x80000000ull) return std::nullopt;
        return static_cast<uint32_t>(0u - static_cast<uint32_t>(n));
    }
    return static_cast<uint32_t>(n);
}

SettingsStore::SettingsStore(Registry& system, const std::string& appDir) : system_(system) {
    iniFile_ = appDir;
    if (!iniFile_.empty() && iniFile_.back() != '\\' && iniFile_.back() != '/') {
        // Joined with the kind of separator the folder already uses.
        size_t last = iniFile_.find_last_of("\\/");
        iniFile_ += (last != std::string::npos && iniFile_[last] == '/') ? '/' : '\\';
    }
    iniFile_ += kPortableFileName;
    std::error_code ec;
    const std::filesystem::path p = PathFromUtf8(iniFile_);
    portable_ = std::filesystem::exists(p, ec) && !std::filesystem::is_directory(p, ec);
}

SettingsStore::~SettingsStore() = default;

const char* SettingsStore::SectionFor(RegRoot root, const std::string& key) const {
    if (!portable_ || root != kSettingsRoot) return nullptr;
    const std::string k = CanonicalKey(key);
    if (k == Fold(kSettingKey)) return kPortableSettingSection;
    if (k == Fold(kDataKey)) return kPortableDataSection;
    return nullptr;
}

std::optional<std::string> SettingsStore::Lookup(const char* section, const std::string& name) const {
    auto it = pending_.find(Slot(section, name));
    if (it != pending_.end()) return it->second.text;
    // The profile engine answers a missing key with the default; a key that
    // is there answers the same whatever default is asked for.
    std::string a = ReadIniString(iniFile_, section, name, "0");
    if (a != "0") return a;
    if (ReadIniString(iniFile_, section, name, "1") != "0") return std::nullopt;
    return a;
}

bool SettingsStore::Flush(bool reportFailure) {
    if (pending_.empty()) return true;
    bool ok = true;
    {
        IniWriteBatch batch(iniFile_);
        for (const auto& [slot, p] : pending_) {
            ok = (p.text ? WriteIniString(iniFile_, p.section, p.name, *p.text)
                         : DeleteIniKey(iniFile_, p.section, p.name)) &&
                 ok;
        }
        if (ok)
            ok = batch.Commit();
        else
            batch.Discard();
    }
    if (ok) {
        pending_.clear();
        failureReported_ = false;
        return true;
    }
    if (!failureReported_) {
        // Set first: the handler may read options, and a missing one would
        // try to write its default, fail and report again.
        failureReported_ = true;
        if (reportFailure && onWriteFailed_) onWriteFailed_();
    }
    return false;
}

long SettingsStore::Put(const char* section, const std::string& name, std::optional<std::string> text) {
    pending_[Slot(section, name)] = Pending{section, name, std::move(text)};
    if (updateDepth_ > 0) return 0;
    return Flush(true) ? 0 : kWriteFault;
}

void SettingsStore::BeginUpdate() {
    if (updateDepth_++ == 0 && portable_) pin_ = std::make_unique<IniReadScope>(iniFile_);
}

bool SettingsStore::EndUpdate(bool reportFailure) {
    if (updateDepth_ > 0) --updateDepth_;
    if (updateDepth_ > 0) return true;
    pin_.reset();
    return Flush(reportFailure);
}

bool SettingsStore::KeyExists(RegRoot root, const std::string& key) {
    const char* section = SectionFor(root, key);
    if (!section) return system_.KeyExists(root, key);
    // A section without one value the launcher knows is as good as no key.
    for (const SettingDef& d : SettingTable())
        if (SectionOfKey(d.key) == std::string_view(section) && Lookup(section, d.name)) return true;
    return false;
}

std::optional<uint32_t> SettingsStore::QueryDword(RegRoot root, const std::string& key, const std::string& value) {
    const char* section = SectionFor(root, key);
    if (!section) return system_.QueryDword(root, key, value);
    auto text = Lookup(section, value);
    if (!text) return std::nullopt;
    return DwordFromIniText(*text);
}

std::optional<std::string> SettingsStore::QueryString(RegRoot root, const std::string& key, const std::string& value) {
    const char* section = SectionFor(root, key);
    if (!section) return system_.QueryString(root, key, value);
    return Lookup(section, value);
}

long SettingsStore::SetDword(RegRoot root, const std::string& key, const std::string& value, uint32_t data) {
    const char* section = SectionFor(root, key);
    if (!section) return system_.SetDword(root, key, value, data);
    return Put(section, value, DwordToIniText(data));
}

long SettingsStore::SetString(RegRoot root, const std::string& key, const std::string& value, const std::string& data) {
    const char* section = SectionFor(root, key);
    if (!section) return system_.SetString(root, key, value, data);
    return Put(section, value, data.substr(0, data.find('\0')));
}

long SettingsStore::SetBinary(RegRoot root, const std::string& key, const std::string& value,
                              const std::string& bytes) {
    // No option is binary, and a profile file has no place for raw bytes.
    if (SectionFor(root, key)) return kNotSupported;
    return system_.SetBinary(root, key, value, bytes);
}

long SettingsStore::DeleteValue(RegRoot root, const std::string& key, const std::string& value) {
    const char* section = SectionFor(root, key);
    if (!section) return system_.DeleteValue(root, key, value);
    if (!Lookup(section, value)) return 0;
    return Put(section, value, std::nullopt);
}

std::vector<std::string> SettingsStore::EnumSubKeys(RegRoot root, const std::string& key) {
    if (SectionFor(root, key)) return {};
    return system_.EnumSubKeys(root, key);
}

std::map<std::string, std::string> SettingsStore::GatherFromRegistry() {
    std::map<std::string, std::string> values;
    for (const SettingDef& d : SettingTable()) {
        std::optional<std::string> text;
        if (d.type == SettingType::Dword) {
            if (auto n = system_.QueryDword(kSettingsRoot, d.key, d.name)) text = DwordToIniText(*n);
        } else {
            text = Normalised(d, system_.QueryString(kSettingsRoot, d.key, d.name));
        }
        values[Slot(SectionOfKey(d.key), d.name)] = text ? *text : DefaultText(d);
    }
    return values;
}

std::map<std::string, std::string> SettingsStore::GatherFromFile() const {
    std::map<std::string, std::string> values;
    for (const SettingDef& d : SettingTable()) {
        auto text = Normalised(d, Lookup(SectionOfKey(d.key), d.name));
        values[Slot(SectionOfKey(d.key), d.name)] = text ? *text : DefaultText(d);
    }
    return values;
}

bool SettingsStore::MoveToFile() {
    if (portable_) return true;
    const std::filesystem::path path = PathFromUtf8(iniFile_);
    // A file left there by hand is written over in place; put back as it was
    // when the move fails.
    std::optional<std::string> before = ReadFileBytes(path);
    auto undo = [&] {
        std::error_code ec;
        if (before)
            (void)WriteFileAtomic(path, *before);
        else
            std::filesystem::remove(path, ec);
        FlushIniCache();
    };

    const std::map<std::string, std::string> values = GatherFromRegistry();
    bool ok = true;
    {
        IniWriteBatch batch(iniFile_);
        for (const SettingDef& d : SettingTable()) {
            const char* section = SectionOfKey(d.key);
            ok = WriteIniString(iniFile_, section, d.name, values.at(Slot(section, d.name))) && ok;
        }
        if (ok)
            ok = batch.Commit();
        else
            batch.Discard();
    }
    if (!ok) {
        undo();
        return false;
    }
    // Read what reached the disk, not what the engine remembers writing: a
    // value the file cannot hold (too long, or characters the code page
    // lacks) must stop the move rather than be cut on the way.
    FlushIniCache();
    for (const SettingDef& d : SettingTable()) {
        const char* section = SectionOfKey(d.key);
        if (Lookup(section, d.name) != values.at(Slot(section, d.name))) {
            undo();
            return false;
        }
    }
    portable_ = true;
    pending_.clear();
    failureReported_ = false;
    return true;
}

bool SettingsStore::MoveToRegistry() {
    if (!portable_) return true;
    const std::map<std::string, std::string> values = GatherFromFile();

    struct Before {
        const SettingDef* def;
        std::optional<uint32_t> number;
        std::optional<std::string> text;
    };
    std::vector<Before> before;
    for (const SettingDef& d : SettingTable()) {
        if (d.type == SettingType::Dword)
            before.push_back({&d, system_.QueryDword(kSettingsRoot, d.key, d.name), std::nullopt});
        else
            before.push_back({&d, std::nullopt, system_.QueryString(kSettingsRoot, d.key, d.name)});
    }
    auto undo = [&] {
        for (const Before& b : before) {
            const SettingDef& d = *b.def;
            if (b.number)
                (void)system_.SetDword(kSettingsRoot, d.key, d.name, *b.number);
            else if (b.text)
                (void)system_.SetString(kSettingsRoot, d.key, d.name, *b.text);
            else
                (void)system_.DeleteValue(kSettingsRoot, d.key, d.name);
        }
    };

    for (const SettingDef& d : SettingTable()) {
        const std::string& text = values.at(Slot(SectionOfKey(d.key), d.name));
        long status = d.type == SettingType::Dword
                          ? system_.SetDword(kSettingsRoot, d.key, d.name, *DwordFromIniText(text))
                          : system_.SetString(kSettingsRoot, d.key, d.name, text);
        if (status != 0) {
            undo();
            return false;
        }
    }
    for (const SettingDef& d : SettingTable()) {
        const std::string& text = values.at(Slot(SectionOfKey(d.key), d.name));
        bool same = d.type == SettingType::Dword
                        ? system_.QueryDword(kSettingsRoot, d.key, d.name) == DwordFromIniText(text)
                        : system_.QueryString(kSettingsRoot, d.key, d.name) == text;
        if (!same) {
            undo();
            return false;
        }
    }
    // The file goes last: while it is there, the next start is portable.
    std::error_code ec;
    const std::filesystem::path path = PathFromUtf8(iniFile_);
    std::filesystem::remove(path, ec);
    if (ec || std::filesystem::exists(path, ec)) {
        undo();
        return false;
    }
    FlushIniCache();
    portable_ = false;
    pending_.clear();
    failureReported_ = false;
    return true;
}

SettingsStore* AsSettingsStore(Registry& reg) {
    return dynamic_cast<SettingsStore*>(&reg);
}

SettingsUpdate::SettingsUpdate(Registry& reg) : store_(AsSettingsStore(reg)) {
    if (store_) store_->BeginUpdate();
}

SettingsUpdate::~SettingsUpdate() {
    if (store_) (void)store_->EndUpdate(true);
}

bool SettingsUpdate::FinishQuietly() {
    if (!store_) return true;
    SettingsStore* s = store_;
    store_ = nullptr;
    return s->EndUpdate(false);
}

}  // namespace vt
