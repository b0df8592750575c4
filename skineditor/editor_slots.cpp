#include "skineditor/editor_slots.h"

namespace vt {

namespace {
using K = SlotKind;
}  // namespace

const std::array<SlotInfo, kSlotCount> kSlots = {{
    {0, 0, "背景图片:", K::Picture, "", "MAIN", "Backdrop"},
    {53, 0, "文件图标:", K::Picture, "", "MAIN", "File"},
    {54, 0, "文件夹图标:", K::Picture, "", "MAIN", "Dir"},
    {55, 0, "连接图标:", K::Picture, "", "MAIN", "Link"},
    {56, 0, "扩展项目图标:", K::Picture, "", "MAIN", "ExItem"},

    {2, 1, "关闭按钮[一般|焦点|按下]:", K::Picture, "", "TITLE", "Close1"},
    {3, 1, "关闭按钮[一般|焦点|按下]:", K::Picture, "", "TITLE", "Close2"},
    {4, 1, "关闭按钮[一般|焦点|按下]:", K::Picture, "", "TITLE", "Close3"},
    {5, 1, "最小化按钮[一般|焦点|按下]:", K::Picture, "", "TITLE", "Min1"},
    {6, 1, "最小化按钮[一般|焦点|按下]:", K::Picture, "", "TITLE", "Min2"},
    {7, 1, "最小化按钮[一般|焦点|按下]:", K::Picture, "", "TITLE", "Min3"},
    {8, 1, "置顶按钮[未选|已选]:", K::Picture, "", "TITLE", "Lock1"},
    {10, 1, "置顶按钮[未选|已选]:", K::Picture, "", "TITLE", "Lock2"},
    {11, 1, "标题文字颜色:", K::Colour, "0", "TITLE", "TextColor"},

    {12, 2, "文字颜色[一般|焦点|按下]:", K::Colour, "0", "MENU", "TextColor1"},
    {13, 2, "文字颜色[一般|焦点|按下]:", K::Colour, "0", "MENU", "TextColor2"},
    {14, 2, "文字颜色[一般|焦点|按下]:", K::Colour, "0", "MENU", "TextColor3"},
    {50, 2, "焦点背景颜色:", K::Colour, "0", "MENU", "BackColor"},
    {9, 2, "焦点背景边框颜色:", K::Colour, "0", "MENU", "FrameColor"},
    {15, 2, "文字大小:", K::Points, "9", "MENU", "FontSize"},

    {16, 3, "左侧按钮[一般|焦点|按下]:", K::Picture, "", "TEAM", "Left1"},
    {17, 3, "左侧按钮[一般|焦点|按下]:", K::Picture, "", "TEAM", "Left2"},
    {18, 3, "左侧按钮[一般|焦点|按下]:", K::Picture, "", "TEAM", "Left3"},
    {19, 3, "右侧按钮[一般|焦点|按下]:", K::Picture, "", "TEAM", "Right1"},
    {20, 3, "右侧按钮[一般|焦点|按下]:", K::Picture, "", "TEAM", "Right2"},
    {21, 3, "右侧按钮[一般|焦点|按下]:", K::Picture, "", "TEAM", "Right3"},
    {22, 3, "文字大小:", K::Points, "9", "TEAM", "FontSize"},
    // Shares a row with the text size: the page has no room for a row of its own.
    {29, 3, "背景颜色:", K::Colour, "16777215", "TEAM", "BackColor"},
    {23, 3, "文字颜色[一般|焦点|按下]:", K::Colour, "0", "TEAM", "TextColor1"},
    {24, 3, "文字颜色[一般|焦点|按下]:", K::Colour, "0", "TEAM", "TextColor2"},
    {25, 3, "文字颜色[一般|焦点|按下]:", K::Colour, "0", "TEAM", "TextColor3"},
    {26, 3, "文字背景色[一般|焦点|按下]:", K::Colour, "16777215", "TEAM", "BackColor1"},
    {27, 3, "文字背景色[一般|焦点|按下]:", K::Colour, "16777215", "TEAM", "BackColor2"},
    {28, 3, "文字背景色[一般|焦点|按下]:", K::Colour, "16777215", "TEAM", "BackColor3"},
    {30, 3, "背景图片:", K::Picture, "", "TEAM", "Backdrop"},
    {31, 3, "宽度:", K::Twips, "3255", "TEAM", "Width"},
    {48, 3, "高度:", K::Twips, "300", "TEAM", "Height"},

    {32, 4, "上方按钮[一般|焦点|按下]:", K::Picture, "", "ITEM", "Up1"},
    {33, 4, "上方按钮[一般|焦点|按下]:", K::Picture, "", "ITEM", "Up2"},
    {34, 4, "上方按钮[一般|焦点|按下]:", K::Picture, "", "ITEM", "Up3"},
    {35, 4, "下方按钮[一般|焦点|按下]:", K::Picture, "", "ITEM", "Down1"},
    {36, 4, "下方按钮[一般|焦点|按下]:", K::Picture, "", "ITEM", "Down2"},
    {37, 4, "下方按钮[一般|焦点|按下]:", K::Picture, "", "ITEM", "Down3"},
    {38, 4, "文字大小:", K::Points, "9", "ITEM", "FontSize"},
    {39, 4, "文字颜色[一般|按下]:", K::Colour, "0", "ITEM", "TextColor1"},
    {40, 4, "文字颜色[一般|按下]:", K::Colour, "0", "ITEM", "TextColor2"},
    {41, 4, "文字背景颜色[一般|按下]:", K::Colour, "16777215", "ITEM", "BackColor1"},
    {42, 4, "文字背景颜色[一般|按下]:", K::Colour, "16777215", "ITEM", "BackColor2"},
    {43, 4, "每行项目数:", K::Count, "4", "ITEM", "Width"},
    {49, 4, "高度:", K::Twips, "3015", "ITEM", "Height"},

    {44, 5, "皮肤名称:", K::Text, "", "SKIN", "Name"},
    {45, 5, "皮肤版本:", K::Text, "", "SKIN", "Version"},
    {46, 5, "皮肤作者:", K::Text, "", "SKIN", "Author"},
    {47, 5, "作者主页:", K::Text, "http://", "SKIN", "HomePage"},
    {51, 5, "作者电邮:", K::Text, "", "SKIN", "Email"},
    {52, 5, "注释:", K::Text, "", "SKIN", "Note"},
}};

const std::array<std::string_view, kPageCount> kPageButtonCaptions = {"主窗口", "标题栏", "菜单栏",
                                                                      "类别栏", "项目栏", "信息"};
const std::array<std::string_view, kPageCount> kPageFrameCaptions = {"主窗口", "标题栏", "菜单栏",
                                                                     "类别栏", "项目栏", "皮肤信息"};

std::vector<std::string_view> StateCaptions(std::string_view label) {
    std::vector<std::string_view> out;
    const size_t open = label.find('[');
    const size_t close = label.find(']', open == std::string_view::npos ? 0 : open);
    if (open == std::string_view::npos || close == std::string_view::npos) return out;
    std::string_view inner = label.substr(open + 1, close - open - 1);
    for (;;) {
        const size_t bar = inner.find('|');
        out.push_back(inner.substr(0, bar));
        if (bar == std::string_view::npos) break;
        inner.remove_prefix(bar + 1);
    }
    return out;
}

const SlotInfo* FindSlot(int slot) {
    static const auto index = [] {
        std::array<const SlotInfo*, kSlotLimit> t{};
        for (const auto& s : kSlots)
            t[static_cast<size_t>(s.slot)] = &s;
        return t;
    }();
    if (slot < 0 || slot >= kSlotLimit) return nullptr;
    return index[static_cast<size_t>(slot)];
}

}  // namespace vt
