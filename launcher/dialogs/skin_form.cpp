#include "launcher/dialogs/skin_form.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "common/codepage.h"
#include "common/ini.h"

namespace vt {

namespace {

// n / d rounded to nearest, halves to even; n >= 0, d > 0.
int RoundHalfEven(long long n, long long d) {
    long long q = n / d, r = n % d;
    if (2 * r > d || (2 * r == d && (q % 2) == 1)) ++q;
    return static_cast<int>(q);
}

// appDir always ends with the separator its platform uses.
std::string SkinRoot(const std::string& appDir) {
    const char sep = appDir.empty() ? '\\' : appDir.back();
    return appDir + "SKIN" + sep;
}

std::optional<int> WholeNumber(std::string text, int lo, int hi, bool allowPercent) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    if (allowPercent && !text.empty() && text.back() == '%') text.pop_back();
    size_t b = text.find_first_not_of(' ');
    if (b == std::string::npos) return std::nullopt;
    long long n = 0;
    for (size_t i = b; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        n = n * 10 + (text[i] - '0');
        if (n > hi) return std::nullopt;
    }
    if (n < lo) return std::nullopt;
    return static_cast<int>(n);
}

std::string SkinDescription(const std::string& appDir, const std::string& folder) {
    const char sep = appDir.empty() ? '\\' : appDir.back();
    return SkinRoot(appDir) + folder + sep + "skin.vsu";
}

std::string Percent(int p) {
    return std::to_string(p) + "%";
}

}  // namespace

int PercentToAlpha(int percent) {
    return RoundHalfEven(std::clamp(percent, 0, 100) * 255LL, 100);
}
int AlphaToPercent(int alpha) {
    return RoundHalfEven(std::clamp(alpha, 0, 255) * 100LL, 255);
}

void SkinForm::OnLoad(Registry& reg, const std::string& appDir) {
    appDir_ = appDir;
    lstSkin.clear();
    folders.clear();
    selected = -1;

    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(PathFromUtf8(SkinRoot(appDir)), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code dirEc;
        if (!it->is_directory(dirEc)) continue;
        names.push_back(PathToUtf8(it->path().filename()));
    }
    std::sort(names.begin(), names.end());
    for (const std::string& folder : names) {
        if (folder == "." || folder == "..") continue;
        const std::string name = ReadIniString(SkinDescription(appDir, folder), "SKIN", "Name", "");
        if (name.empty()) continue;  // not a skin the launcher can offer
        lstSkin.push_back(name);
        folders.push_back(folder);
    }

    // Opening the dialog does not store anything: absent values leave the
    // controls at their initial state.
    auto data = [&](const char* value) { return reg.QueryDword(kSettingsRoot, kDataKey, value); };
    if (auto v = data("MsgFrameColor")) picFrame = *v & 0xFFFFFF;
    if (auto v = data("MsgBackColor")) picBack = *v & 0xFFFFFF;
    if (auto v = data("MsgFontColor")) picFont = *v & 0xFFFFFF;
    if (auto v = data("MsgFontSize")) OnSizeScrolled(static_cast<int>(std::min<uint32_t>(*v, kMsgFontSizeMax)));
    OnMsgOpacityScrolled(AlphaToPercent(static_cast<int>(std::min<uint32_t>(data("MsgOpacity").value_or(255), 255))));
    OnMainOpacityScrolled(AlphaToPercent(static_cast<int>(std::min<uint32_t>(data("MainOpacity").value_or(255), 255))));
    optPage = 0;
}

void SkinForm::OnPageClicked(int page) {
    if (page == 0 || page == 1) optPage = page;
}

void SkinForm::OnSkinSelected(int entry) {
    if (entry < 0 || entry >= static_cast<int>(folders.size())) return;
    selected = entry;
    const std::string file = SkinDescription(appDir_, folders[static_cast<size_t>(entry)]);
    labName = ReadIniString(file, "SKIN", "Name", "");
    labVersion = ReadIniString(file, "SKIN", "Version", "");
    labAuthor = ReadIniString(file, "SKIN", "Author", "");
    labHomePage = ReadIniString(file, "SKIN", "HomePage", "");
    labEmail = ReadIniString(file, "SKIN", "Email", "");
    labNote = ReadIniString(file, "SKIN", "Note", "");
}

void SkinForm::OnSizeScrolled(int value) {
    vscrSize = std::clamp(value, kMsgFontSizeMin, kMsgFontSizeMax);
    txtSize = std::to_string(vscrSize);
}

void SkinForm::OnMsgOpacityScrolled(int percent) {
    vscrMO = std::clamp(percent, 0, 100);
    txtMO = Percent(vscrMO);
}

void SkinForm::OnMainOpacityScrolled(int percent) {
    vscrFO = std::clamp(percent, 0, 100);
    txtFO = Percent(vscrFO);
}

void SkinForm::OnSizeTyped(const std::string& text) {
    if (auto n = WholeNumber(text, kMsgFontSizeMin, kMsgFontSizeMax, false))
        OnSizeScrolled(*n);
    else
        txtSize = std::to_string(vscrSize);
}

void SkinForm::OnMsgOpacityTyped(const std::string& text) {
    if (auto n = WholeNumber(text, 0, 100, true))
        OnMsgOpacityScrolled(*n);
    else
        txtMO = Percent(vscrMO);
}

void SkinForm::OnMainOpacityTyped(const std::string& text) {
    if (auto n = WholeNumber(text, 0, 100, true))
        OnMainOpacityScrolled(*n);
    else
        txtFO = Percent(vscrFO);
}

void SkinForm::OnColorPicked(Swatch swatch, long long color) {
    if (color < 0) return;
    const auto c = static_cast<uint32_t>(color & 0xFFFFFF);
    switch (swatch) {
        case Swatch::Frame:
            picFrame = c;
            break;
        case Swatch::Back:
            picBack = c;
            break;
        case Swatch::Font:
            picFont = c;
            break;
    }
}

FormOutcome SkinForm::OnOk(Registry& reg, const Settings& settings, Prompts& prompts) {
    FormOutcome out;
    if (optPage == 0) {
        if (selected < 0 || selected >= static_cast<int>(folders.size())) {
            if (settings.WarnOnFormat) prompts.ShowMessage(kMsgSelectSkin);
            return out;
        }
        const std::string& folder = folders[static_cast<size_t>(selected)];
        (void)WriteSettingString(reg, "SkinPath", folder);
        // Announced before the new skin is drawn.
        if (settings.WarnAfterDone) prompts.ShowMessage(kMsgSkinSaved);
        out.applySkin = true;
        out.skinFolder = SkinRoot(settings.AppDir.empty() ? appDir_ : settings.AppDir) + folder;
        out.close = true;
        return out;
    }

    (void)WriteSettingDword(reg, "MsgFrameColor", static_cast<int32_t>(picFrame));
    (void)WriteSettingDword(reg, "MsgBackColor", static_cast<int32_t>(picBack));
    (void)WriteSettingDword(reg, "MsgFontColor", static_cast<int32_t>(picFont));
    (void)WriteSettingDword(reg, "MsgFontSize", vscrSize);
    const int msgAlpha = PercentToAlpha(vscrMO);
    const int mainAlpha = PercentToAlpha(vscrFO);
    (void)WriteSettingDword(reg, "MsgOpacity", msgAlpha);
    (void)WriteSettingDword(reg, "MainOpacity", mainAlpha);
    out.applyMainOpacity = true;
    out.mainOpacity = mainAlpha;
    if (settings.WarnAfterDone) prompts.ShowMessage(kMsgEffectsSaved);
    out.close = true;
    return out;
}

}  // namespace vt
