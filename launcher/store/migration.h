// One-time conversion of the previous version's data ("DATA/TEAM.QRD",
// "ITEM.QRD" per team folder, "SET.QRD") into the current store and settings.
//
// The old DATA folder is set aside whole as "pDATA" (never written to) and a
// new DATA is built from it. A marker file in the new DATA names the old
// folder and the step reached, so a conversion cut short by a crash or a
// kill is redone from the old files on the next start; a conversion that
// fails on a write is undone, leaving the old DATA as it was.
#pragma once

#include <functional>
#include <string>

#include "platform/prompts.h"
#include "platform/registry.h"

namespace vt {

inline constexpr const char* kMsgMigrationDone = "数据更新完成！欢迎您使用新版Vantrel！";
inline constexpr const char* kMsgMigrationFailed = "数据更新失败!旧版数据未作改动,请检查DATA文件夹";
// Shown when a write failed and the conversion could not be undone either;
// the next start finishes it from the old files.
inline constexpr const char* kMsgMigrationIncomplete = "数据更新未能全部完成!旧版数据已保存在pDATA文件夹中";
// The progress window's text while a conversion runs.
inline constexpr const char* kMsgMigrationProgress = "正在更新数据…";

// The marker's file name inside DATA (and, for the moment of the rename,
// inside the old-data folder).
inline constexpr const char* kMigrationMarker = "MIGRATE.RUN";

enum class MigrationResult {
    NothingToDo,  // no old data and no conversion to finish
    Done,         // converted; old files kept in the folder named by oldDataFolder
    Failed,       // a write failed; everything was put back as it was before
    Incomplete,   // a write failed and could not be undone; the next start finishes it
    Stopped,      // stopped by the hooks at a change, as a kill would (tests)
};

struct MigrationReport {
    MigrationResult result = MigrationResult::NothingToDo;
    std::string oldDataFolder;  // "pDATA", or "pDATA1", "pDATA2"... when taken
    bool resumed = false;       // an interrupted conversion was finished
};

enum class MigrationChange { Make, Fail, Stop };

struct MigrationHooks {
    // Asked before each change on disk or in the settings, numbered from 0
    // in the order they are made: Make it, Fail it (as a full disk would), or
    // Stop the whole run at once, leaving everything as a kill would.
    std::function<MigrationChange(int change)> beforeChange;
    // Items converted so far and in all; called on the converting thread.
    std::function<void(int done, int total)> progress;
};

// A few existence tests: true when a start has old data to convert or an
// interrupted conversion to finish.
bool MigrationPending(const std::string& appDir);

// Converts (or finishes converting) when MigrationPending. Shows nothing and
// touches no window, so it may run on a worker thread; settings are written
// through the registry operations of the settings store.
MigrationReport ConvertOldData(const std::string& appDir, Registry& registry, const MigrationHooks& hooks = {});

// The text to show for a finished run, empty for none: failures only when
// warnOnError.
std::string MigrationMessage(const MigrationReport& report, bool warnOnError);

// ConvertOldData, then its message through prompts.
MigrationReport MigrateOldData(const std::string& appDir, Registry& registry, Prompts& prompts, bool warnOnError);

}  // namespace vt
