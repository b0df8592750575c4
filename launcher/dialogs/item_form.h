// The item editor ("添加项目" / "编辑项目") without its window: the fields as
// the controls hold them, the change handlers that guess name, type and icon
// from the path, and the OK step that writes the item into its team's store.
// The Win32 dialog copies control values in, calls a handler, and copies the
// fields back out (with its own change notifications suppressed).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "launcher/dialogs/form_common.h"
#include "launcher/dialogs/icon_rules.h"
#include "launcher/settings/settings.h"
#include "platform/prompts.h"
#include "platform/registry.h"

namespace vt {

inline constexpr const char* kCaptionItemDesign = "添加/编辑项目";
inline constexpr const char* kCaptionAddItem = "添加项目";
inline constexpr const char* kCaptionEditItem = "编辑项目";

inline constexpr const char* kMsgItemNameEmpty = "项目名称不能为空,请填写项目名称";
inline constexpr const char* kMsgItemPathEmpty = "项目路径不能为空,请填写项目路径";
inline constexpr const char* kMsgItemIconEmpty = "图标不能为空,请填写图标路径";
inline constexpr const char* kMsgItemSucceeded = "成功";
// The team folder the item belongs to is gone (wrong team password, or the
// folder was removed by hand): nothing is written.
inline constexpr const char* kMsgItemNoTeamFolder = "类别文件夹不存在,项目未能保存";
// Editing a protected item opened with a wrong (or no) password: its lines
// decode to texts that would overwrite the real ones, so nothing is written.
inline constexpr const char* kMsgItemPasswordWrong = "项目密码不正确,项目未作修改";
inline constexpr const char* kMsgItemWriteFailed = "项目数据写入失败,项目未能完整保存";

inline constexpr const char* kTitleChooseItemPath = "选择项目路径";
inline constexpr const char* kTitleChooseItemIcon = "选择项目图标";
// The file choosers offer one filter pair: description, pattern.
inline constexpr const char* kChooseFileFilter[2] = {"*.*", "*.*"};

// Labels in front of the fields and the check boxes' captions.
inline constexpr const char* kLabelItemName = "项目名称:";
inline constexpr const char* kLabelItemPath = "项目路径:";
inline constexpr const char* kLabelItemPara = "运行参数:";
inline constexpr const char* kLabelItemIcon = "项目图标:";
inline constexpr const char* kLabelItemPassword = "启动密码:";
inline constexpr const char* kLabelItemNote = "注释:";
inline constexpr const char* kLabelItemType = "项目类型:";
inline constexpr const char* kLabelItemMode = "运行模式:";
inline constexpr const char* kLabelItemMethod = "启动行为:";
inline constexpr const char* kLabelItemPreview = "预览:";
inline constexpr const char* kCheckShowPassword = "直接显示";
inline constexpr const char* kCheckShowAdvanced = "显示高级设置项";
inline constexpr char kPasswordMask = '*';

// The stock-icon popup ("Icon"): captions in the order of StockIcon.
inline constexpr const char* kStockMenuCaptions[] = {"超级链接", "一般文件", "文件夹", "扩展项目"};
// Where the popup opens under the button that shows it, in twips.
inline constexpr int kStockMenuGap = 10;
struct TwipPoint {
    int x = 0;
    int y = 0;
};
inline TwipPoint StockMenuPosition(int left, int top, int height) {
    return {left, top + height + kStockMenuGap};
}

// The picture buttons: a transparent label over three stacked images (0
// normal, 1 hover, 2 pressed). The first three stand beside the path, the
// other four beside the icon.
enum class PictureButton { File, Dir, Ex, Icon, Inside, Left, Right };
inline constexpr int kPictureButtonCount = 7;
inline constexpr const char* kPictureButtonTips[kPictureButtonCount] = {
    "选择文件", "选择文件夹", "选择扩展项目", "选择图标", "选择内置图标", "上一个图标", "下一个图标"};

// Which image each picture button shows.
class PictureButtons {
public:
    // The mouse moves over button b; buttonDown: a mouse button is held.
    void OnHover(PictureButton b, bool buttonDown);
    void OnPress(PictureButton b);
    void OnRelease(PictureButton b);
    // The mouse moves over the dialog's background.
    void OnBackground();
    int Image(PictureButton b) const { return images_[static_cast<int>(b)]; }

private:
    static bool SameRow(PictureButton a, PictureButton b);
    int images_[kPictureButtonCount] = {};
};

// Entries of the type and mode lists.
inline constexpr const char* kItemTypeCaptions[] = {"应用程序", "DLL函数",  "超级链接",
                                                    "文件夹",   "一般文件", "扩展项目"};
inline constexpr const char* kItemModeCaptions[] = {"正常", "最大化", "最小化", "隐藏"};

enum ItemType {
    kTypeProgram = 0,
    kTypeDllFunction = 1,
    kTypeLink = 2,
    kTypeFolder = 3,
    kTypeFile = 4,
    kTypeExtended = 5
};

inline constexpr uint32_t kParaEnabledColor = 0xFFFFFF;   // RGB(255, 255, 255)
inline constexpr uint32_t kParaDisabledColor = 0xDCDCDC;  // RGB(220, 220, 220)

inline constexpr int kItemFormHeightExpanded = 5655;  // twips, advanced part shown
inline constexpr int kItemFormHeightCollapsed = 1815;

// The fields OK checks, for the view to put the caret in the one refused.
enum class ItemField { None, Name, Path, Para, Icon, Password, Note };
// Field names in the input-check messages.
inline constexpr const char* kFieldItemName = "项目名称";
inline constexpr const char* kFieldItemPath = "项目路径";
inline constexpr const char* kFieldItemPara = "运行参数";
inline constexpr const char* kFieldItemIcon = "项目图标";
inline constexpr const char* kFieldItemPassword = "启动密码";
inline constexpr const char* kFieldItemNote = "注释";
// Name and note are profile values; path, parameters and icon source live in
// line files, which have no length limit.
inline constexpr size_t kItemNameMaxBytes = kProfileTextMaxBytes;
inline constexpr size_t kItemNoteMaxBytes = kProfileTextMaxBytes;

// A one-line text box held to maxBytes in the ANSI code page. before is the
// text it held, after the text an edit left in it; what the edit inserted is
// cut (whole characters) until the text fits, as a character limit would do
// with a paste. caret: byte offset in text just after what was kept.
struct FittedText {
    std::string text;
    size_t caret = 0;
    bool cut = false;  // some of the input was refused
};
FittedText FitTypedText(const std::string& before, const std::string& after, size_t maxBytes);

// The type the editor proposes for a path (always one of the six entries).
int TypeFromPath(const std::string& path);
// The name proposed for a path: the last component, without a trailing
// backslash; the whole path when it holds no backslash before its last
// character.
std::string NameFromPath(const std::string& path);
// "(序号:" + index + ")".
std::string IconIndexLabel(int index);

class ItemForm {
public:
    ItemForm(Registry& reg, EditorShared& shared) : reg_(reg), shared_(shared) {}

    // ---- Opening ---------------------------------------------------------
    // Load step: the advanced check box follows "ShowItemExSetting".
    void OnLoad();
    // Empty editor for a new item of the team at teamFolder.
    void OpenForAdd(int teamIndex, const std::string& teamFolder);
    // Editor filled from item itemIndex, its lines decoded with password. The
    // OK step writes back to this team folder and item even when the main
    // window's selection changes in the meantime.
    void OpenForEdit(int teamIndex, const std::string& teamFolder, int itemIndex, const std::string& password);

    // ---- Change handlers (each does nothing while tLock is set) -----------
    void OnTypeChanged();
    void OnPathChanged();
    void OnIconChanged();
    // Assign a field and run its handler, as typing or a picker does.
    void SetPath(const std::string& path);
    void SetIcon(const std::string& icon);
    void SelectType(int entry);

    // The icon loader: decides the preview for an icon text and index, and
    // for "[ICON]" looks up the registered icon and the verbs of the type.
    void ShowIcon(const std::string& iconText, int index);
    void OnPreviousIcon();             // index - 1
    void OnNextIcon();                 // index + 1
    void OnStockIcon(StockIcon icon);  // the stock-icon popup's entries

    // File choosers: the folder to start in (empty: the system's choice).
    std::string ChooserInitialFolder();
    // Results of the two file choosers and of the folder picker; an empty
    // result (cancelled) changes nothing.
    void OnItemFileChosen(const std::string& file);
    void OnIconFileChosen(const std::string& file);

    // Height of the window: the advanced part shows while chkEx is checked.
    int WindowHeight() const { return chkEx ? kItemFormHeightExpanded : kItemFormHeightCollapsed; }
    bool PasswordMasked() const { return !chkPassword; }
    std::string IconIndexText() const { return IconIndexLabel(shared_.EditIconIndex); }
    bool IsEdit() const { return caption == kCaptionEditItem; }

    // ---- OK ---------------------------------------------------------------
    // Validates, writes the item and "ShowItemExSetting", shows the result.
    // previewPicture: the preview saved as a picture file (bitmap bytes), used
    // for own and shared icon pictures; nullopt when the view has none.
    FormOutcome OnOk(const Settings& settings, Prompts& prompts, const std::optional<std::string>& previewPicture);

    // ---- Fields, as the controls hold them --------------------------------
    std::string caption = kCaptionItemDesign;
    std::string txtName, txtPath, txtPara, txtIcon, txtPassword, txtNote;
    int cboType = -1;  // -1: no entry selected
    int cboMode = 0;
    int cboMethod = -1;                      // selected verb entry, -1 none
    std::vector<std::string> cboMethodList;  // verb captions shown
    std::vector<std::string> verbList;       // verb names, parallel to cboMethodList
    bool chkPassword = false;                // show the password unmasked
    bool chkEx = false;                      // show the advanced part
    bool paraEnabled = true;
    uint32_t paraBackColor = kParaEnabledColor;
    IconPlan preview;  // what the preview box shows

    bool tLock = false;
    std::string tIcon;  // extension (with dot) naming the shared picture of a general file
    std::string lastAutoName;

    // Gives the short (8.3) form of a path whose characters the code page
    // cannot hold; replaced in tests.
    ShortPathFn shortPath = ShortPathName;
    // After an OK that was refused: the field at fault and, when it holds
    // characters the code page cannot store, those characters.
    ItemField refusedField = ItemField::None;
    std::string refusedChars;

    // Where OK writes.
    int teamIndex = -1;
    std::string teamFolder;
    int itemIndex = -1;

    EditorShared& shared() { return shared_; }

    // True when the item was opened for editing with a password that cannot
    // be its own (see kMsgItemPasswordWrong).
    bool PasswordDoubtful() const { return passwordDoubtful_; }

private:
    void RememberFolderOf(const std::string& file);

    bool passwordDoubtful_ = false;
    Registry& reg_;
    EditorShared& shared_;
};

}  // namespace vt
