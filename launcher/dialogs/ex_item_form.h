// The extended item editor ("扩展项目设置") without its window. It writes no
// store of its own: OK fills the item editor's path, name and parameters with
// the kind token and the encoded arguments.
#pragma once

#include <string>

#include "launcher/dialogs/form_common.h"
#include "launcher/dialogs/item_form.h"
#include "launcher/settings/settings.h"
#include "platform/prompts.h"

namespace vt {

inline constexpr const char* kCaptionExItemForm = "扩展项目设置";

inline constexpr const char* kExKindCaptions[] = {"清空回收站", "注册表", "控制面板"};
inline constexpr const char* kRegRootCaptions[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                                   "HKEY_USERS"};
inline constexpr const char* kRegTypeCaptions[] = {"SZ--字符串类型", "DWORD--双字节类型", "BINARY--二进制类型"};
inline constexpr const char* kControlPanelCaptions[] = {"Internet选项", "辅助功能选项", "添加或删除程序", "鼠标属性",
                                                        "键盘属性",     "显示属性",     "日期和时间设置", "复制磁盘",
                                                        "添加打印机",   "系统属性"};

inline constexpr const char* kExRegistryLabels[] = {"注册表主键:", "注册表项:", "键名称:", "键类型:", "键值:"};

inline constexpr const char* kExPathRecycle = "[RECYCLE]";
inline constexpr const char* kExPathRegistry = "[REGCTRL]";
inline constexpr const char* kExPathControl = "[CONTROL]";

inline constexpr const char* kExNameRecycle = "清空回收站";
inline constexpr const char* kExNameRegistryPrefix = "修改注册表项:";
inline constexpr const char* kExNameControlPrefix = "控制面板:";
inline constexpr const char* kExSelectedPrefix = "选中项:";

inline constexpr const char* kMsgRegKeyEmpty = "注册表键不能为空,请填写";
inline constexpr const char* kMsgRegNameEmpty = "注册表键名不能为空,请填写";
inline constexpr const char* kMsgRegValueEmpty = "注册表键值不能为空,请填写";
// The parameter string separates its fields with "|" and has no escape, so
// the character cannot be stored inside a field.
inline constexpr const char* kMsgRegBarInText = "注册表项、键名和键值中不能含有字符\"|\",请修改";
inline constexpr const char* kMsgSelectControlPanel = "请选择一项控制面板项";

enum ExKind { kExRecycle = 0, kExRegistry = 1, kExControlPanel = 2 };
// The registry texts OK checks, for the view to put the caret in the one refused.
enum class ExField { None, Key, KeyName, Value };
// Field names in the input-check messages.
inline constexpr const char* kFieldRegKey = "注册表项";
inline constexpr const char* kFieldRegName = "键名称";
inline constexpr const char* kFieldRegValue = "键值";

// The parameter string of a registry item: root|key|name|type|value.
std::string RegistryItemParameters(int rootCode, const std::string& key, const std::string& name, int typeCode,
                                   const std::string& value);

class ExItemForm {
public:
    // LstItem clicked: shows the kind's panel and resets it.
    void OnKindClicked(int kind);
    // TxtKey, TxtKeyName or TxtValue changed: OK needs all three.
    void OnRegistryTextChanged();
    // LstCtrl clicked.
    void OnControlClicked(int entry);

    // Writes the chosen action into the item editor's fields. The result says
    // whether the dialog closes (a validation message keeps it open).
    FormOutcome OnOk(const Settings& settings, Prompts& prompts, ItemForm& target);

    int lstItem = -1;       // kind, -1 none
    int visibleFrame = -1;  // Frame(i) shown, -1 none
    bool cmdOkEnabled = true;
    int cboMainKey = 0;
    int cboType = 0;
    std::string txtKey, txtKeyName, txtValue;
    int lstCtrl = -1;
    std::string labSelected = kExSelectedPrefix;  // LabS(1)
    ExField refusedField = ExField::None;         // after an OK that was refused
};

}  // namespace vt
