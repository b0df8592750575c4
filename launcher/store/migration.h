// One-time conversion of the previous version's data ("DATA/TEAM.QRD",
// "ITEM.QRD" per team folder, "SET.QRD") into the current store and settings.
#pragma once

#include <string>

#include "platform/prompts.h"
#include "platform/registry.h"

namespace vt {

inline constexpr const char* kMsgMigrationDone = "数据更新完成！欢迎您使用新版Vantrel！";
inline constexpr const char* kMsgMigrationFailed = "数据更新失败!旧版数据未作改动,请检查DATA文件夹";
// Shown instead of kMsgMigrationDone when a write failed part way; the old
// files are all still in the old-data folder.
inline constexpr const char* kMsgMigrationIncomplete =
    "数据更新未能全部完成!旧版数据已保存在pDATA文件夹中";

enum class MigrationResult {
    NothingToDo,  // no "DATA/TEAM.QRD"
    Done,         // converted; old files kept in the folder named by oldDataFolder
    Failed,       // the old DATA folder could not be set aside; nothing changed
};

struct MigrationReport {
    MigrationResult result = MigrationResult::NothingToDo;
    std::string oldDataFolder;  // "pDATA", or "pDATA1", "pDATA2"... when taken
};

// Runs when appDir + "DATA/TEAM.QRD" exists: moves DATA aside, builds a fresh
// DATA from the old files and writes the old options to the registry. Shows
// kMsgMigrationDone when done, kMsgMigrationFailed when DATA could not be
// moved aside (only when warnOnError).
MigrationReport MigrateOldData(const std::string& appDir, Registry& registry, Prompts& prompts, bool warnOnError);

}  // namespace vt
