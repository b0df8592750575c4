// The start-up's conversion of a previous version's data, run on a worker
// thread while the window thread keeps taking messages; a small window with
// a progress bar shows only when the conversion takes more than a moment.
#pragma once

#include <windows.h>

#include <string>

#include "launcher/store/migration.h"
#include "platform/registry.h"

namespace vt {

inline constexpr wchar_t kMigrationProgressClass[] = L"VantrelMigrationProgress";
inline constexpr DWORD kMigrationProgressDelayMs = 300;

// Returns once the conversion has ended (at once when there is nothing to
// convert); the caller shows its message. A WM_QUIT that arrives meanwhile is
// posted again for the caller's own loop.
MigrationReport RunMigration(HINSTANCE instance, const std::string& appDir, Registry& registry,
                             DWORD showAfterMs = kMigrationProgressDelayMs);

}  // namespace vt
