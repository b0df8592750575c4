// The folder picker ("选择文件夹") without its window: where it opens and
// what its OK hands to the item editor.
#pragma once

#include <optional>
#include <string>

#include "launcher/dialogs/form_common.h"
#include "launcher/dialogs/item_form.h"
#include "platform/registry.h"

namespace vt {

inline constexpr const char* kCaptionDirForm = "选择文件夹";

// The folder as the item editor's path: a trailing backslash is added unless
// there is one already (a drive root such as C:\ stays three characters).
std::string FolderAsItemPath(const std::string& folder);

class FolderForm {
public:
    FolderForm(Registry& reg, EditorShared& shared) : reg_(reg), shared_(shared) {}

    // The folder to open at: the remembered one while "RememberPath" is on;
    // nullopt means the system's current folder. The view ignores a folder
    // (or drive) that cannot be shown.
    std::optional<std::string> InitialFolder();
    // The drive part ("C:") of the initial folder.
    std::optional<std::string> InitialDrive();

    // OK with the folder the list shows: remembers it, stores "rPath" and
    // writes it into the item editor's path (whose handler then proposes name,
    // type and icon).
    FormOutcome OnOk(const std::string& folder, ItemForm& target);

private:
    Registry& reg_;
    EditorShared& shared_;
};

}  // namespace vt
