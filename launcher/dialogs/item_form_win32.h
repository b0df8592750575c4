// The item editor family on Win32: the item editor window, the extended item
// editor and the folder picker it opens, and the drop handler that uses the
// editor's rules without showing it. The control ids are public so that a
// program driving the editor from outside can find its fields.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace vt {

class DialogHost;
class ItemForm;
struct IconPlan;
struct EditorShared;

// Control ids of the item editor ("添加项目" / "编辑项目").
namespace item_ids {
inline constexpr int kName = 1001;
inline constexpr int kPath = 1002;
inline constexpr int kPara = 1003;
inline constexpr int kIcon = 1004;
inline constexpr int kPassword = 1005;
inline constexpr int kShowPassword = 1006;
inline constexpr int kNote = 1007;
inline constexpr int kType = 1008;
inline constexpr int kMode = 1009;
inline constexpr int kMethod = 1010;
inline constexpr int kPreview = 1011;
inline constexpr int kIconIndex = 1012;
inline constexpr int kShowAdvanced = 1013;
// Picture buttons, in the order of PictureButton (file, folder, extended
// item, icon file, stock icons, previous icon, next icon).
inline constexpr int kPictureButtonFirst = 1020;
// Entries of the stock-icon popup, in the order of StockIcon.
inline constexpr int kStockMenuFirst = 1101;
}  // namespace item_ids

// Control ids of the extended item editor ("扩展项目设置").
namespace exitem_ids {
inline constexpr int kKinds = 1201;
inline constexpr int kMainKey = 1202;
inline constexpr int kKey = 1203;
inline constexpr int kKeyName = 1204;
inline constexpr int kType = 1205;
inline constexpr int kValue = 1206;
inline constexpr int kControls = 1207;
inline constexpr int kSelected = 1208;
}  // namespace exitem_ids

// Control ids of the folder picker ("选择文件夹").
namespace folder_ids {
inline constexpr int kDrives = 1301;
inline constexpr int kTree = 1302;
}  // namespace folder_ids

// ---- Shared inside the family --------------------------------------------

// EditIconIndex and RememberedFolder, kept for the life of the program.
EditorShared& ItemEditorShared();

// The icon plan drawn the way the item panel shows it, as the bytes of a
// .bmp file (always a picture; an empty plan gives the blank canvas).
std::string RenderIconPlanBmp(DialogHost& main, const IconPlan& plan);

// Runs fn on the open item editor's fields (copied in from its controls and
// back out afterwards); false when no item editor is open.
bool WithItemEditor(const std::function<void(ItemForm&)>& fn);

// Extended item editor, modeless, owned by the item editor.
void OpenExItemEditor(DialogHost& main, HWND owner);
bool PreTranslateExItemDialog(MSG& msg);
void CloseExItemDialog();

// Folder picker, modal over owner; on OK it writes into form and returns true.
bool RunFolderPicker(DialogHost& main, HWND owner, ItemForm& form);

}  // namespace vt
