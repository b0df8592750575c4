#include "launcher/dialogs/ex_item_form.h"

#include <iterator>

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

void ExItemForm::OnRegistryTextChanged() { cmdOkEnabled = !txtKey.empty() && !txtKeyName.empty() && !txtValue.empty(); }

void ExItemForm::OnControlClicked(int entry) {
    if (entry < 0 || entry >= kControlPanelCount) return;
    lstCtrl = entry;
    labSelected = std::string(kExSelectedPrefix) + kControlPanelCaptions[entry];
}

FormOutcome ExItemForm::OnOk(const Settings& settings, Prompts& prompts, ItemForm& target) {
    FormOutcome out;
    auto refuse = [&](const char* text) {
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
            if (txtKey.empty()) return refuse(kMsgRegKeyEmpty);
            if (txtKeyName.empty()) return refuse(kMsgRegNameEmpty);
            if (txtValue.empty()) return refuse(kMsgRegValueEmpty);
            if (txtKey.find('|') != std::string::npos || txtKeyName.find('|') != std::string::npos ||
                txtValue.find('|') != std::string::npos)
                return refuse(kMsgRegBarInText);
            target.SetPath(kExPathRegistry);
            target.txtName = kExNameRegistryPrefix + txtKeyName;
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
