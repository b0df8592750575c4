#include "launcher/mainwindow/launch.h"

#include "common/text.h"

#include <array>
#include <charconv>
#include <exception>
#include <vector>

#include "launcher/store/password.h"
#include "launcher/store/store.h"

namespace vt {

namespace {

constexpr std::array<const char*, 10> kControlPanel = {
    "shell32.dll,Control_RunDLL inetcpl.cpl,,0",      // Internet选项
    "shell32.dll,Control_RunDLL access.cpl,,0",       // 辅助功能选项
    "shell32.dll,Control_RunDLL appwiz.cpl,,0",       // 添加或删除程序
    "shell32.dll,Control_RunDLL main.cpl",            // 鼠标属性
    "shell32.dll,Control_RunDLL access.cpl,,1",       // 键盘属性
    "shell32.dll,Control_RunDLL desk.cpl,,0",         // 显示属性
    "shell32.dll,Control_RunDLL timedate.cpl",        // 日期和时间设置
    "diskcopy.dll,DiskCopyRunDll",                    // 复制磁盘
    "shell32.dll,SHHelpShortcuts_RunDLL AddPrinter",  // 添加打印机
    "shell32.dll,Control_RunDLL sysdm.cpl,,0",        // 系统属性
};

// The first `count - 1` fields end at a "|"; the last one is the rest of the
// text, so a string value that itself holds "|" is written whole.
std::vector<std::string> SplitFields(const std::string& s, size_t count) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (fields.size() + 1 < count) {
        size_t bar = s.find('|', start);
        if (bar == std::string::npos) break;
        fields.push_back(s.substr(start, bar - start));
        start = bar + 1;
    }
    fields.push_back(s.substr(start));
    return fields;
}

// A DWORD value typed as a decimal number: negative numbers give their
// two's-complement bit pattern, as a 32-bit signed conversion would.
bool ParseDword(const std::string& text, uint32_t& out) {
    std::string t = TrimBlanks(text);
    if (t.empty()) return false;
    long long v = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size()) return false;
    if (v < -2147483648LL || v > 4294967295LL) return false;
    out = static_cast<uint32_t>(v);
    return true;
}

// The program's own folder as working folder, as Explorer starts programs,
// so that programs finding their files relative to it work. Only for a full
// path ("C:\..." or "\\server\..."); a bare name is found by the shell.
std::string ProgramFolder(const std::string& path) {
    bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    bool unc = path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/');
    if (!drive && !unc) return {};
    size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return {};
    if (drive && slash == 2) return path.substr(0, 3);  // keep "C:\" a root
    return path.substr(0, slash);
}

LaunchPlan PlanExtended(const std::string& path, int mode, const std::string& verb, const std::string& parameters) {
    const std::string kind = AsciiUpper(TrimBlanks(path));
    if (kind == kTokenRegistry) {
        std::vector<std::string> f = SplitFields(parameters, 5);
        if (f.size() < 5) return LaunchRefused{kMsgLaunchFailed};
        RegistryStep step;
        if (!RootKeyFromCode(TrimBlanks(f[0]), step.root)) return LaunchRefused{kMsgLaunchFailed};
        step.key = f[1];
        step.valueName = f[2];
        const std::string type = TrimBlanks(f[3]);
        if (type == "1") {
            step.dword = true;
            if (!ParseDword(f[4], step.number)) return LaunchRefused{kMsgLaunchFailed};
        } else if (type == "0" || type == "2") {
            step.text = f[4];
        } else {
            return LaunchRefused{kMsgLaunchFailed};
        }
        return step;
    }
    if (kind == kTokenRecycle) return RecycleStep{};
    if (kind == kTokenControl) {
        std::string command = ControlPanelCommand(TrimBlanks(SplitFields(parameters, 2)[0]));
        if (command.empty()) return LaunchRefused{kMsgLaunchFailed};
        return ExecuteStep{verb, kRunDll, command, {}, ShowCmdFromMode(mode)};
    }
    return LaunchRefused{kMsgLaunchFailed};
}

}  // namespace

std::string ControlPanelCommand(const std::string& code) {
    if (code.size() != 1 || code[0] < '0' || code[0] > '9') return {};
    return kControlPanel[static_cast<size_t>(code[0] - '0')];
}

bool RootKeyFromCode(const std::string& code, RegRoot& root) {
    if (code == "0")
        root = RegRoot::ClassesRoot;
    else if (code == "1")
        root = RegRoot::CurrentUser;
    else if (code == "2")
        root = RegRoot::LocalMachine;
    else if (code == "3")
        root = RegRoot::Users;
    else
        return false;
    return true;
}

ShowCmd ShowCmdFromMode(int mode) {
    switch (mode) {
        case 1:
            return ShowCmd::Maximized;
        case 2:
            return ShowCmd::Minimized;
        case 3:
            return ShowCmd::Hidden;
        default:
            return ShowCmd::Normal;
    }
}

LaunchPlan PlanLaunch(int type, int mode, const std::string& verb, const std::string& path,
                      const std::string& parameters) {
    if (path.empty()) return LaunchRefused{kMsgLaunchBadPath};
    // Stored as bytes: a negative number is a large one and just as wrong.
    if (type < 0 || type > 5) return LaunchRefused{kMsgLaunchBadType};
    if (mode < 0 || mode > 3) return LaunchRefused{kMsgLaunchBadMode};
    const std::string v = verb.empty() ? std::string(kDefaultVerb) : verb;
    switch (type) {
        case 1:
            // rundll32 wants "dll,Function args" as one text: no blank between.
            return ExecuteStep{v, kRunDll, path + parameters, {}, ShowCmdFromMode(mode)};
        case 5:
            return PlanExtended(path, mode, v, parameters);
        case 0:
            return ExecuteStep{v, path, parameters, ProgramFolder(path), ShowCmdFromMode(mode)};
        default:
            return ExecuteStep{v, path, parameters, {}, ShowCmdFromMode(mode)};
    }
}

LaunchResult LaunchItem(const std::string& teamFolder, int index, const LaunchOptions& options, LaunchServices services,
                        LaunchParameters parameters) {
    LaunchResult result;
    if (options.reorderInProgress || index < 0 || teamFolder.empty()) return result;

    auto fail = [&](const char* message) {
        if (options.warnOnError) services.prompts.ShowMessage(message);
        result.outcome = LaunchOutcome::Failed;
        return result;
    };

    if (options.warnBeforeLaunch && !services.prompts.Confirm(kLaunchConfirmText, kLaunchConfirmCaption)) {
        result.outcome = LaunchOutcome::Cancelled;
        return result;
    }

    LaunchPlan plan;
    try {
        ItemRecord item = ReadItemRecord(teamFolder, index);
        std::string key;
        if (item.Password) {
            // No protected item has an empty password, so an empty answer is
            // the Cancel button: starting the still scrambled path would only
            // end in a misleading error.
            key = services.prompts.AskPassword(kPromptLaunchItem);
            if (key.empty()) {
                result.outcome = LaunchOutcome::Cancelled;
                return result;
            }
        }
        if (parameters == LaunchParameters::Skip) item.Para = 0;
        ItemTexts texts = ReadItemTexts(teamFolder, item, key);
        plan = PlanLaunch(item.Type, item.Mode, item.StartMethod, texts.Path, texts.Para);
    } catch (const std::exception&) {
        return fail(kMsgLaunchFailed);
    }

    if (auto* refused = std::get_if<LaunchRefused>(&plan)) return fail(refused->message);

    if (auto* reg = std::get_if<RegistryStep>(&plan)) {
        long status = reg->dword ? services.registry.SetDword(reg->root, reg->key, reg->valueName, reg->number)
                                 : services.registry.SetString(reg->root, reg->key, reg->valueName, reg->text);
        if (status != 0) return fail(kMsgLaunchFailed);
        // A registry write is acknowledged by nothing but its effect.
        result.outcome = LaunchOutcome::Started;
        result.hideWindow = options.minAfterLaunch;
        return result;
    }

    if (std::holds_alternative<RecycleStep>(plan)) {
        // An already empty bin reports a failure too; there is nothing to say.
        services.shell.EmptyRecycleBin();
        result.outcome = LaunchOutcome::Started;
        result.hideWindow = options.minAfterLaunch;
        return result;
    }

    const ExecuteStep& run = std::get<ExecuteStep>(plan);
    if (!services.shell.Execute(run.verb, run.program, run.parameters, run.directory, run.show))
        return fail(kMsgLaunchFailed);
    if (options.warnAfterDone) services.prompts.ShowMessage(kMsgLaunchDone);
    result.outcome = LaunchOutcome::Started;
    result.hideWindow = options.minAfterLaunch;
    return result;
}

}  // namespace vt
