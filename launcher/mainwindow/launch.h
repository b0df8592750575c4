// Starting one stored item: read it, unscramble it, decide what the shell or
// the registry has to do for its type, do it, and report the outcome.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "platform/prompts.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace vt {

inline constexpr const char* kMsgLaunchDone = "启动项目完成";
inline constexpr const char* kMsgLaunchBadPath = "项目路径错误,无法启动项目";
inline constexpr const char* kMsgLaunchBadType = "项目类型错误,无法启动项目";
inline constexpr const char* kMsgLaunchBadMode = "项目启动模式错误,无法启动项目";
inline constexpr const char* kMsgLaunchFailed = "项目启动出错,无法启动项目,请检查项目设置";
inline constexpr const char* kLaunchConfirmText = "是否要启动项目?";
inline constexpr const char* kLaunchConfirmCaption = "启动确认";

inline constexpr const char* kRunDll = "rundll32.exe";
inline constexpr const char* kDefaultVerb = "open";
// Kind tokens of extended items, compared in upper case.
inline constexpr const char* kTokenRegistry = "[REGCTRL]";
inline constexpr const char* kTokenRecycle = "[RECYCLE]";
inline constexpr const char* kTokenControl = "[CONTROL]";

// What rundll32.exe gets for control-panel code 0..9; empty for any other code.
std::string ControlPanelCommand(const std::string& code);
// Registry root of a "[REGCTRL]" root code "0".."3"; false for any other code.
bool RootKeyFromCode(const std::string& code, RegRoot& root);
// The window show command for a stored "Mode" 0..3 (Normal for anything else).
ShowCmd ShowCmdFromMode(int mode);

// ---- The decision --------------------------------------------------------

struct ExecuteStep {
    std::string verb;
    std::string program;
    std::string parameters;
    std::string directory;  // empty: none
    ShowCmd show = ShowCmd::Normal;
};

struct RegistryStep {
    RegRoot root = RegRoot::CurrentUser;
    std::string key;
    std::string valueName;
    bool dword = false;  // REG_DWORD; otherwise a string value (SZ, and BINARY stored as text)
    uint32_t number = 0;
    std::string text;
};

struct RecycleStep {};

struct LaunchRefused {
    const char* message;  // one of the kMsgLaunch* failure texts
};

using LaunchPlan = std::variant<LaunchRefused, ExecuteStep, RegistryStep, RecycleStep>;

// What starting an item with these stored fields means. `path` and
// `parameters` are already unscrambled; `verb` is "StartMethod" as stored.
LaunchPlan PlanLaunch(int type, int mode, const std::string& verb, const std::string& path,
                      const std::string& parameters);

// ---- The operation -------------------------------------------------------

struct LaunchOptions {
    bool warnOnError = true;
    bool warnAfterDone = true;
    bool warnBeforeLaunch = false;
    bool minAfterLaunch = false;
    // An order swap is waiting for its second pick: clicks pick, they do not start.
    bool reorderInProgress = false;
};

// The "不带参数启动" command starts the path alone, this once.
enum class LaunchParameters { Stored, Skip };

struct LaunchServices {
    Shell& shell;
    Registry& registry;
    Prompts& prompts;
};

enum class LaunchOutcome {
    NotAttempted,  // no item, or an order swap under way
    Cancelled,     // the confirmation or the password box was cancelled
    Started,       // the shell accepted the program, or the extended action was done
    Failed,        // reported (when WarnOnError) with one of the kMsgLaunch* texts
};

struct LaunchResult {
    LaunchOutcome outcome = LaunchOutcome::NotAttempted;
    // MinAfterLaunch is on and something was started: hide the main window
    // and put the minimise button back to its normal picture.
    bool hideWindow = false;
};

// Starts item `index` of the team folder. Messages go through
// services.prompts, gated by the options; nothing is read before the
// confirmation is answered.
LaunchResult LaunchItem(const std::string& teamFolder, int index, const LaunchOptions& options, LaunchServices services,
                        LaunchParameters parameters = LaunchParameters::Stored);

}  // namespace vt
