#include "launcher/dialogs/folder_form.h"

#include "launcher/settings/settings.h"

namespace vt {

std::string FolderAsItemPath(const std::string& folder) {
    if (!folder.empty() && folder.back() == '\\') return folder;
    return folder + "\\";
}

std::optional<std::string> FolderForm::InitialFolder() {
    if (ReadSettingDword(reg_, "RememberPath") != 1) return std::nullopt;
    if (shared_.RememberedFolder.empty()) return std::nullopt;
    return shared_.RememberedFolder;
}

std::optional<std::string> FolderForm::InitialDrive() {
    auto folder = InitialFolder();
    if (!folder || folder->size() < 2) return std::nullopt;
    return folder->substr(0, 2);
}

FormOutcome FolderForm::OnOk(const std::string& folder, ItemForm& target) {
    FormOutcome out;
    out.close = true;
    if (folder.empty()) return out;  // nothing shown, nothing to hand over
    shared_.RememberedFolder = FolderAsItemPath(folder);
    target.SetPath(shared_.RememberedFolder);
    (void)WriteSettingString(reg_, "rPath", shared_.RememberedFolder);
    return out;
}

}  // namespace vt
