#include "launcher/dialogs/ex_item_form.h"

#include <iterator>

#include "common/codepage.h"

namespace vt {

namespace {
constexpr int kControlPanelCount = static_cast<int>(std::size(kControlPanelCaptions));
}

std::string RegistryItemParameters(int rootCode, const std::string& key, const std::string& name, int typeCode,
                                   const std::string& value) {
    return std::to_string(rootCode) + "|" + key + "|" + name + "|" + std::to_string(typeCode) + "|" + value;
}

void ExItemForm::OnKindClicked(int kind) {
    lstItem = kind;
    switch (kind) {
        case kExRecycle:
            visibleFrame = 0;
            cmdOkEnabled = true;
            break;
        case kExRegistry:
            visibleFrame = 1;
            cboMainKey = 0;
            cboType = 0;
            txtKey.clear();
            txtKeyName.clear();
            txtValue.clear();
            cmdOkEnabled = false;
            break;
        case kExControlPanel:
            visibleFrame = 2;
            OnControlClicked(0);
            cmdOkEnabled = true;
            break;
        default:
            lstItem = -1;
            break;
    }
}

void ExItemForm::OnRegistryTextChanged() {
    cmdOkEnabled = !txtKey.empty() && !txtKeyName.empty() && !txtValue.empty();
}

void ExItemForm::OnControlClicked(int entry) {
    if (entry < 0 || entry >= kControlPanelCount) return;
    lstCtrl = entry;
    labSelected = std::string(kExSelectedPrefix) + kControlPanelCaptions[entry];
}

FormOutcome ExItemForm::OnOk(const Settings& settings, Prompts& prompts, ItemForm& target) {
    FormOutcome out;
    refusedField = ExField::None;
    auto refuse = [&](ExField field, const std::string& text) {
        refusedField = field;
        if (settings.WarnOnFormat) prompts.ShowMessage(text);
        return out;
    };
    switch (lstItem) {
        case kExRecycle:
            // The path goes first: its handler picks type and icon, and the
            // name set afterwards replaces the one it proposed.
            target.SetPath(kExPathRecycle);
            target.txtName = kExNameRecycle;
            break;
        case kExRegistry:
            if (txtKey.empty()) return refuse(ExField::Key, kMsgRegKeyEmpty);
            if (txtKeyName.empty()) return refuse(ExField::KeyName, kMsgRegNameEmpty);
            if (txtValue.empty()) return refuse(ExField::Value, kMsgRegValueEmpty);
            if (txtKey.find('|') != std::string::npos) return refuse(ExField::Key, kMsgRegBarInText);
            if (txtKeyName.find('|') != std::string::npos) return refuse(ExField::KeyName, kMsgRegBarInText);
            if (txtValue.find('|') != std::string::npos) return refuse(ExField::Value, kMsgRegBarInText);
            // The texts are stored in the ANSI code page and written to the
            // registry from there: a "?" in place of a character would write
            // another key or value than the one typed.
            if (std::string bad = UnstorableChars(txtKey); !bad.empty())
                return refuse(ExField::Key, UnstorableCharsMessage(kFieldRegKey, bad));
            if (std::string bad = UnstorableChars(txtKeyName); !bad.empty())
                return refuse(ExField::KeyName, UnstorableCharsMessage(kFieldRegName, bad));
            if (std::string bad = UnstorableChars(txtValue); !bad.empty())
                return refuse(ExField::Value, UnstorableCharsMessage(kFieldRegValue, bad));
            target.SetPath(kExPathRegistry);
            // A proposal like the one from a path: cut to what a name can hold.
            target.txtName = FitAnsiBytes(kExNameRegistryPrefix + txtKeyName, kItemNameMaxBytes);
            target.txtPara = RegistryItemParameters(cboMainKey < 0 ? 0 : cboMainKey, txtKey, txtKeyName,
                                                    cboType < 0 ? 0 : cboType, txtValue);
            break;
        case kExControlPanel:
            if (lstCtrl < 0 || lstCtrl >= kControlPanelCount) {
                if (settings.WarnOnFormat) prompts.ShowMessage(kMsgSelectControlPanel);
                break;  // closes without writing
            }
            target.SetPath(kExPathControl);
            target.txtName = std::string(kExNameControlPrefix) + kControlPanelCaptions[lstCtrl];
            target.txtPara = std::to_string(lstCtrl);
            break;
        default:
            break;  // no kind chosen: close without writing
    }
    out.close = true;
    return out;
}

}  // namespace vt
