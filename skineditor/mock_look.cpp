#include "skineditor/mock_look.h"

#include <algorithm>

namespace vt {

std::string_view MockTextOf(El e) {
    switch (e) {
        case El::LabTitle:
            return kTitleText;
        case El::LabMenu0:
            return kMenuCaptions[0];
        case El::LabMenu1:
            return kMenuCaptions[1];
        case El::LabMenu2:
            return kMenuCaptions[2];
        case El::LabMenu3:
            return kMenuCaptions[3];
        case El::LabTeam0:
            return "未选的类别";
        case El::LabTeam1:
            return "指向的类别";
        case El::LabTeam2:
            return "选中的类别";
        case El::LabItem0:
            return "选中的项目";
        case El::LabItem1:
            return "未选的项目";
        default:
            return {};
    }
}

MockTextPlace MockTextPlaceOf(El e) {
    switch (e) {
        case El::LabTeam0:
        case El::LabTeam1:
        case El::LabTeam2:
            return MockTextPlace::CentreTop;
        case El::LabItem0:
        case El::LabItem1:
            return MockTextPlace::CentreMiddle;
        default:
            return MockTextPlace::LeftTop;
    }
}

std::vector<El> MockPanelChildren(El panel) {
    std::vector<El> kids;
    for (int i = 0; i < kElementCount; ++i)
        if (ParentOf(static_cast<El>(i)) == panel) kids.push_back(static_cast<El>(i));
    return kids;
}

int MockPanelFill(const EditorModel& model, El panel) {
    return model.Get(panel == El::PicItem ? El::LabItem1 : panel).backColor;
}

int MockBorderPixels(int dpi) {
    return std::max(1, dpi / 96);
}

}  // namespace vt
