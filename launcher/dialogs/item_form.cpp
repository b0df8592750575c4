#include "launcher/dialogs/item_form.h"

#include "common/text.h"

#include <algorithm>
#include <filesystem>

#include "common/codepage.h"
#include "common/line_file.h"
#include "launcher/store/password.h"
#include "launcher/store/store.h"

namespace vt {

namespace {

bool EndsWith(const std::string& s, const char* tail) {
    const std::string t(tail);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

bool StartsWith(const std::string& s, const char* head) {
    return s.rfind(head, 0) == 0;
}

// The right key turns a stored line back into exactly what was stored; a
// wrong one almost never does (other key length, codes outside any
// character).
bool DecodesCleanly(const std::string& stored, const std::string& key) {
    return stored.empty() || EncodePassword(DecodePassword(stored, key), key) == stored;
}

bool FolderExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(PathFromUtf8(path), ec);
}

bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

FittedText FitTypedText(const std::string& before, const std::string& after, size_t maxBytes) {
    // What the edit inserted lies between the longest common head and tail of
    // the two texts, both taken on character boundaries.
    size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head])
        ++head;
    while (head > 0 && ((head < after.size() && IsUtf8Continuation(after[head])) ||
                        (head < before.size() && IsUtf8Continuation(before[head]))))
        --head;
    size_t tail = 0;
    const size_t room = std::min(before.size(), after.size()) - head;
    while (tail < room && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    while (tail > 0 && IsUtf8Continuation(after[after.size() - tail]))
        --tail;
    const size_t insertedEnd = after.size() - tail;
    if (AnsiByteCount(after) <= maxBytes) return {after, insertedEnd, false};

    const std::string prefix = after.substr(0, head);
    const std::string suffix = after.substr(insertedEnd);
    const size_t fixed = AnsiByteCount(prefix) + AnsiByteCount(suffix);
    if (fixed > maxBytes) {
        // Too long even without the new input (set from outside): keep the head.
        std::string text = FitAnsiBytes(after, maxBytes);
        size_t caret = text.size();
        return {std::move(text), caret, true};
    }
    std::string kept = FitAnsiBytes(after.substr(head, insertedEnd - head), maxBytes - fixed);
    return {prefix + kept + suffix, head + kept.size(), true};
}

int TypeFromPath(const std::string& path) {
    const std::string p = AsciiLower(path);
    if (EndsWith(p, ".exe")) return kTypeProgram;
    if (EndsWith(p, ".dll")) return kTypeDllFunction;
    // "https:" did not exist when the rule was made; it is a link all the same.
    if (StartsWith(p, "http:") || StartsWith(p, "https:") || StartsWith(p, "mailto:")) return kTypeLink;
    if (!p.empty() && p.back() == '\\') return kTypeFolder;
    if (!p.empty() && p.front() == '[') return kTypeExtended;
    return kTypeFile;
}

std::string NameFromPath(const std::string& path) {
    // The last character is skipped so that a folder path ending in a
    // backslash is named after its last folder, not after nothing. Only
    // ASCII bytes are compared, which never occur inside a UTF-8 sequence.
    if (path.size() >= 2) {
        for (size_t i = path.size() - 1; i-- > 0;) {
            if (path[i] != '\\') continue;
            std::string rest = path.substr(i + 1);
            if (!rest.empty() && rest.back() == '\\') rest.pop_back();
            return rest;
        }
    }
    return path;
}

bool PictureButtons::SameRow(PictureButton a, PictureButton b) {
    auto row = [](PictureButton x) { return static_cast<int>(x) < static_cast<int>(PictureButton::Icon) ? 0 : 1; };
    return row(a) == row(b);
}

void PictureButtons::OnHover(PictureButton b, bool buttonDown) {
    if (buttonDown) return;
    for (int i = 0; i < kPictureButtonCount; ++i)
        if (SameRow(static_cast<PictureButton>(i), b)) images_[i] = 0;
    images_[static_cast<int>(b)] = 1;
}

void PictureButtons::OnPress(PictureButton b) {
    images_[static_cast<int>(b)] = 2;
}

void PictureButtons::OnRelease(PictureButton b) {
    images_[static_cast<int>(b)] = 1;
}

void PictureButtons::OnBackground() {
    for (int& image : images_)
        image = 0;
}

std::string IconIndexLabel(int index) {
    return "(序号:" + std::to_string(index) + ")";
}

void ItemForm::OnLoad() {
    chkEx = ReadSettingDword(reg_, "ShowItemExSetting") != 0;
}

void ItemForm::OpenForAdd(int team, const std::string& folder) {
    tLock = true;
    caption = kCaptionAddItem;
    txtIcon.clear();
    txtName.clear();
    txtNote.clear();
    txtPara.clear();
    txtPassword.clear();
    txtPath.clear();
    chkPassword = false;
    cboType = 0;
    cboMode = 0;
    cboMethod = -1;
    cboMethodList.clear();
    verbList.clear();
    tIcon.clear();
    lastAutoName.clear();
    paraEnabled = true;
    paraBackColor = kParaEnabledColor;
    shared_.EditIconIndex = 0;
    preview = {};
    teamIndex = team;
    teamFolder = folder;
    itemIndex = -1;
    passwordDoubtful_ = false;
    tLock = false;
}

void ItemForm::OpenForEdit(int team, const std::string& folder, int item, const std::string& password) {
    tLock = true;
    caption = kCaptionEditItem;
    teamIndex = team;
    teamFolder = folder;
    itemIndex = item;
    cboMethod = -1;
    cboMethodList.clear();
    verbList.clear();
    tIcon.clear();
    lastAutoName.clear();
    preview = {};

    const ItemRecord rec = ReadItemRecord(folder, item);
    const ItemTexts texts = ReadItemTexts(folder, rec, password);
    passwordDoubtful_ =
        rec.Password && (password.empty() || !DecodesCleanly(ReadDataLine(PathSetFile(folder), rec.Path), password) ||
                         !DecodesCleanly(ReadDataLine(ParaSetFile(folder), rec.Para), password) ||
                         !DecodesCleanly(ReadDataLine(IconSetFile(folder), rec.IconPath), password));
    cboType = (rec.Type >= 0 && rec.Type <= kTypeExtended) ? rec.Type : -1;
    cboMode = (rec.Mode >= 0 && rec.Mode <= 3) ? rec.Mode : -1;
    txtPath = texts.Path;
    txtPara = texts.Para;
    txtIcon = texts.Icon;
    txtName = rec.Name;
    txtNote = rec.Note;
    txtPassword = password;
    chkPassword = false;
    // The parameter field's look follows the stored type as if it had been
    // chosen; the handler itself stays quiet while the fields are filled.
    const bool para = cboType == kTypeProgram || cboType == kTypeDllFunction || cboType == kTypeExtended;
    paraEnabled = para;
    paraBackColor = para ? kParaEnabledColor : kParaDisabledColor;

    shared_.EditIconIndex = rec.IconIndex;
    ShowIcon(txtIcon, shared_.EditIconIndex);
    if (rec.MethodIndex >= 0 && rec.MethodIndex < static_cast<int>(cboMethodList.size())) cboMethod = rec.MethodIndex;
    tLock = false;
}

void ItemForm::OnTypeChanged() {
    if (tLock || cboType < 0 || cboType > kTypeExtended) return;
    switch (cboType) {
        case kTypeProgram:
        case kTypeDllFunction:
            SetIcon(txtPath);
            break;
        case kTypeLink:
            SetIcon(kIconLink);
            break;
        case kTypeFolder:
            SetIcon(kIconDirectory);
            break;
        case kTypeFile:
            // Through the empty text, so "[ICON]" is resolved again even when
            // it was there already.
            SetIcon("");
            SetIcon(kIconRegistered);
            break;
        case kTypeExtended:
            SetIcon(kIconExItem);
            break;
    }
    const bool para = cboType == kTypeProgram || cboType == kTypeDllFunction || cboType == kTypeExtended;
    paraEnabled = para;
    paraBackColor = para ? kParaEnabledColor : kParaDisabledColor;
}

void ItemForm::OnPathChanged() {
    if (tLock) return;
    cboMethodList.clear();
    verbList.clear();
    cboMethod = -1;

    // A name the user typed over is never replaced; an empty one follows the
    // path again.
    if (txtName == lastAutoName || txtName.empty()) {
        // A proposal is cut to what the name can hold; typed text never is.
        txtName = FitAnsiBytes(NameFromPath(txtPath), kItemNameMaxBytes);
        lastAutoName = txtName;
    }

    cboType = -1;
    SelectType(TypeFromPath(txtPath));
}

void ItemForm::OnIconChanged() {
    if (tLock || txtIcon.empty()) return;
    shared_.EditIconIndex = 0;
    ShowIcon(txtIcon, 0);
}

void ItemForm::SetPath(const std::string& path) {
    txtPath = path;
    OnPathChanged();
}

void ItemForm::SetIcon(const std::string& icon) {
    txtIcon = icon;
    OnIconChanged();
}

void ItemForm::SelectType(int entry) {
    cboType = entry;
    OnTypeChanged();
}

void ItemForm::ShowIcon(const std::string& iconText, int index) {
    if (auto stock = StockIconOf(iconText)) {
        preview = IconPlan{IconPlan::Kind::Stock, *stock, {}, 0};
    } else if (IsRegisteredIconToken(iconText)) {
        RegisteredIcon found = LookUpRegisteredIcon(reg_, txtPath);
        if (!found.ext.empty()) tIcon = found.ext;
        // Verb lists accumulate; only a path change empties them.
        verbList.insert(verbList.end(), found.verbs.begin(), found.verbs.end());
        cboMethodList.insert(cboMethodList.end(), found.verbCaptions.begin(), found.verbCaptions.end());
        if (found.icon) {
            shared_.EditIconIndex = 0;
            preview = PlanForIconFile(found.icon->file, found.icon->index);
        } else {
            // No registered icon: the stock file picture stands in, also when
            // the fields are being filled and the icon handler is held off.
            txtIcon = kIconFile;
            shared_.EditIconIndex = 0;
            preview = IconPlan{IconPlan::Kind::Stock, StockIcon::File, {}, 0};
        }
    } else {
        preview = PlanForIconFile(iconText, index);
    }
}

void ItemForm::OnPreviousIcon() {
    --shared_.EditIconIndex;
    ShowIcon(txtIcon, shared_.EditIconIndex);
}

void ItemForm::OnNextIcon() {
    ++shared_.EditIconIndex;
    ShowIcon(txtIcon, shared_.EditIconIndex);
}

void ItemForm::OnStockIcon(StockIcon icon) {
    static constexpr const char* kTokens[] = {kIconLink, kIconFile, kIconDirectory, kIconExItem};
    SetIcon(kTokens[static_cast<int>(icon)]);
}

std::string ItemForm::ChooserInitialFolder() {
    if (ReadSettingDword(reg_, "RememberPath") == 1 && !shared_.RememberedFolder.empty())
        return shared_.RememberedFolder;
    return {};
}

void ItemForm::RememberFolderOf(const std::string& file) {
    size_t slash = file.find_last_of('\\');
    if (slash == std::string::npos) return;  // nothing that names a folder
    shared_.RememberedFolder = file.substr(0, slash + 1);
    (void)WriteSettingString(reg_, "rPath", shared_.RememberedFolder);
}

void ItemForm::OnItemFileChosen(const std::string& file) {
    if (file.empty()) return;
    SetPath(file);
    RememberFolderOf(file);
}

void ItemForm::OnIconFileChosen(const std::string& file) {
    if (file.empty()) return;
    SetIcon(file);
    RememberFolderOf(file);
}

FormOutcome ItemForm::OnOk(const Settings& settings, Prompts& prompts,
                           const std::optional<std::string>& previewPicture) {
    FormOutcome out;
    refusedField = ItemField::None;
    refusedChars.clear();
    auto refuse = [&](ItemField field, const std::string& text, bool show) {
        refusedField = field;
        if (show) prompts.ShowMessage(text);
        return out;  // stays open, nothing written
    };
    if (txtName.empty()) return refuse(ItemField::Name, kMsgItemNameEmpty, settings.WarnOnFormat);
    if (txtPath.empty()) return refuse(ItemField::Path, kMsgItemPathEmpty, settings.WarnOnFormat);
    if (txtIcon.empty()) return refuse(ItemField::Icon, kMsgItemIconEmpty, settings.WarnOnFormat);

    // Writing into a folder that does not exist would report success for an
    // item that can never be shown.
    if (!FolderExists(teamFolder)) return refuse(ItemField::None, kMsgItemNoTeamFolder, settings.WarnOnError);
    if (IsEdit() && passwordDoubtful_) {
        // The dialog cannot put this right: the password was asked before it opened.
        if (settings.WarnOnError) prompts.ShowMessage(kMsgItemPasswordWrong);
        out.close = true;
        return out;
    }

    // Characters the code page lacks would be stored as "?": a path that can
    // never start, a name that is not the one typed. A path falls back on its
    // short form; anything else is refused before a single byte is written.
    const StorablePath path = MakeStorablePath(txtPath, shortPath);
    const StorablePath icon = txtIcon == txtPath ? path : MakeStorablePath(txtIcon, shortPath);
    std::string name = txtName;
    if (path.ok() && path.text != txtPath && txtName == lastAutoName && !UnstorableChars(name).empty()) {
        // The proposed name came from the long path; the short one names the item instead.
        name = FitAnsiBytes(NameFromPath(path.text), kItemNameMaxBytes);
    }
    auto refuseChars = [&](ItemField field, const char* label, const std::string& chars) {
        refusedChars = chars;
        return refuse(field, UnstorableCharsMessage(label, chars), settings.WarnOnFormat);
    };
    // A proposed name has the path's faults; the path is what to mend.
    if (!path.ok() && txtName == lastAutoName) return refuseChars(ItemField::Path, kFieldItemPath, path.unstorable);
    if (std::string bad = UnstorableChars(name); !bad.empty()) return refuseChars(ItemField::Name, kFieldItemName, bad);
    if (AnsiByteCount(name) > kItemNameMaxBytes)
        return refuse(ItemField::Name, TooLongMessage(kFieldItemName, kItemNameMaxBytes), settings.WarnOnFormat);
    if (!path.ok()) return refuseChars(ItemField::Path, kFieldItemPath, path.unstorable);
    if (std::string bad = UnstorableChars(txtPara); !bad.empty())
        return refuseChars(ItemField::Para, kFieldItemPara, bad);
    if (!icon.ok()) return refuseChars(ItemField::Icon, kFieldItemIcon, icon.unstorable);
    // The password is the scrambling key: "?" in place of its characters
    // would let other passwords open the item.
    if (std::string bad = UnstorableChars(txtPassword); !bad.empty())
        return refuseChars(ItemField::Password, kFieldItemPassword, bad);
    if (std::string bad = UnstorableChars(txtNote); !bad.empty())
        return refuseChars(ItemField::Note, kFieldItemNote, bad);
    if (AnsiByteCount(txtNote) > kItemNoteMaxBytes)
        return refuse(ItemField::Note, TooLongMessage(kFieldItemNote, kItemNoteMaxBytes), settings.WarnOnFormat);
    // What is stored is what the fields show from here on.
    if (name != txtName) lastAutoName = name;
    txtName = name;
    txtPath = path.text;
    txtIcon = icon.text;

    ItemInput in;
    in.Name = txtName;
    in.Type = std::clamp(cboType, 0, static_cast<int>(kTypeExtended));
    in.Mode = std::clamp(cboMode, 0, 3);
    in.Note = txtNote;
    in.Path = txtPath;
    in.Para = txtPara;
    in.IconText = txtIcon;
    in.IconIndex = shared_.EditIconIndex;
    if (cboMethod >= 0 && cboMethod < static_cast<int>(verbList.size())) {
        in.StartMethod = verbList[static_cast<size_t>(cboMethod)];
        in.MethodIndex = cboMethod;
    }
    in.Password = txtPassword;

    if (IsRegisteredIconToken(txtIcon)) {
        std::string ext = tIcon.empty() ? ExtensionOf(txtPath).value_or("") : tIcon;
        if (ext.size() > 1) {
            in.IconText = kIconRegistered;
            in.SharedIconName = ext.substr(1);
            in.Picture = previewPicture;
        } else {
            // No extension to name a shared picture after: the stock file
            // picture is what the preview showed.
            in.IconText = kIconFile;
        }
    } else if (auto stock = StockIconOf(txtIcon)) {
        static constexpr const char* kTokens[] = {kIconLink, kIconFile, kIconDirectory, kIconExItem};
        in.IconText = kTokens[static_cast<int>(*stock)];
    } else if (txtIcon.front() != '[') {
        in.Picture = previewPicture;
    }

    const bool edit = IsEdit();
    StoreResult res;
    try {
        res = edit ? EditItem(settings.AppDir, teamFolder, itemIndex, in) : AddItem(settings.AppDir, teamFolder, in);
    } catch (const std::exception&) {
        // Reading the old record ran out of memory, say: nothing was written.
        res.error = StoreError::WriteFailed;
    }

    out.showItems = true;
    out.showItemsTeam = teamIndex;
    (void)WriteSettingDword(reg_, "ShowItemExSetting", chkEx ? 1 : 0);
    if (!res.ok()) {
        if (settings.WarnOnError) {
            const char* text = res.error == StoreError::FolderMissing  ? kMsgItemNoTeamFolder
                               : res.error == StoreError::LimitReached ? kMsgItemsOverLimit
                                                                       : kMsgItemWriteFailed;
            prompts.ShowMessage(text);
        }
        // The store saves an item whole or not at all; the dialog stays open
        // so the input is not lost.
        return out;
    }
    if (edit) itemIndex = res.index;
    if (settings.WarnAfterDone) prompts.ShowMessage(caption + txtName + kMsgItemSucceeded);
    out.close = true;
    return out;
}

}  // namespace vt
