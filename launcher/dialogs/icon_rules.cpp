#include "launcher/dialogs/icon_rules.h"

#include "common/text.h"

#include <cctype>

namespace vt {

namespace {

// Leading whole number, blanks and a sign allowed, 0 when there is none.
int LeadingNumber(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    long long n = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        n = n * 10 + (s[i++] - '0');
        if (n > 32767) n = 32767;  // icon indexes are 16-bit
    }
    return static_cast<int>(negative ? -n : n);
}

std::string RegDefault(Registry& reg, const std::string& key) {
    return reg.QueryString(RegRoot::ClassesRoot, key, "").value_or("");
}

}  // namespace

std::optional<StockIcon> StockIconOf(const std::string& iconText) {
    const std::string u = AsciiUpper(iconText);
    if (u == kIconLink) return StockIcon::Link;
    if (u == kIconFile) return StockIcon::File;
    if (u == kIconDirectory) return StockIcon::Directory;
    if (u == kIconExItem) return StockIcon::ExItem;
    return std::nullopt;
}

bool IsRegisteredIconToken(const std::string& iconText) {
    return AsciiUpper(iconText) == kIconRegistered;
}

bool PreviewRedrawnFromFile(const IconPlan& plan, int pixels) {
    return plan.kind == IconPlan::Kind::ExtractIcon && pixels > kItemIconPixels;
}

IconPlan PlanForIconFile(const std::string& path, int index) {
    IconPlan plan;
    if (path.size() < 4) return plan;
    const std::string ext4 = AsciiLower(path.substr(path.size() - 4));
    if (ext4 == ".dll" || ext4 == ".exe" || ext4 == ".ocx") {
        plan.kind = IconPlan::Kind::ExtractIcon;
        plan.file = path;
        plan.index = index;
    } else if (ext4 == ".bmp" || ext4 == ".ico" || ext4 == ".gif" || ext4 == ".jpg" || ext4 == ".cur") {
        plan.kind = IconPlan::Kind::PictureFile;
        plan.file = path;
    }
    return plan;
}

std::optional<std::string> ExtensionOf(const std::string& path) {
    for (size_t i = path.size(); i-- > 0;) {
        if (path[i] == '\\' || path[i] == '/') return std::nullopt;
        if (path[i] == '.') return path.substr(i);
    }
    return std::nullopt;
}

std::optional<IconLocation> ParseDefaultIcon(const std::string& value) {
    for (size_t d = value.size(); d-- > 0;) {
        if (value[d] == '\\') return std::nullopt;
        if (value[d] != ',') continue;
        IconLocation loc;
        loc.file = TrimBlanks(value.substr(0, d));
        // Registered values often quote the file: "C:\x y\app.exe",2
        if (loc.file.size() >= 2 && loc.file.front() == '"' && loc.file.back() == '"')
            loc.file = loc.file.substr(1, loc.file.size() - 2);
        loc.index = LeadingNumber(value.substr(d + 1));
        return loc;
    }
    return std::nullopt;
}

RegisteredIcon LookUpRegisteredIcon(Registry& reg, const std::string& path) {
    RegisteredIcon out;
    auto ext = ExtensionOf(path);
    if (!ext) return out;
    out.ext = *ext;
    const std::string progid = TrimBlanks(RegDefault(reg, out.ext));
    if (progid.empty()) return out;

    const std::string verbKeyPrefix = progid + "\\shell\\";
    for (const std::string& raw : reg.EnumSubKeys(RegRoot::ClassesRoot, progid + "\\shell")) {
        const std::string verb = TrimBlanks(raw);
        out.verbs.push_back(verb);
        std::string caption = RegDefault(reg, verbKeyPrefix + verb);
        out.verbCaptions.push_back(caption.empty() ? verb : caption);
    }

    const std::string icon = RegDefault(reg, progid + "\\DefaultIcon");
    if (!icon.empty()) out.icon = ParseDefaultIcon(icon);
    return out;
}

}  // namespace vt
