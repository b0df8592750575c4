// A launcher folder with one team, the fakes the forms talk to, and settings
// as ApplySettings leaves them.
#pragma once

#include <filesystem>
#include <string>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/ini.h"
#include "common/line_file.h"
#include "launcher/dialogs/form_common.h"
#include "launcher/settings/settings.h"
#include "launcher/store/store.h"
#include "platform/fake/fakes.h"
#include "tests/unit/temp_dir.h"

namespace vt {

class DialogFixture {
public:
    DialogFixture() {
        settings.AppDir = dir.Dir();
        std::filesystem::create_directories(PathFromUtf8(DataDir(settings.AppDir)));
    }
    // Adds a team and returns its folder path.
    std::string MakeTeam(const std::string& name = "工具", const std::string& password = "") {
        StoreResult r = AddTeam(settings.AppDir, TeamInput{name, "", password});
        return TeamFolderPath(settings.AppDir, r.name);
    }
    static bool Exists(const std::string& path) {
        std::error_code ec;
        return std::filesystem::exists(PathFromUtf8(path), ec);
    }
    static int Ini(const std::string& file, const std::string& section, const std::string& key) {
        FlushIniCache();
        return ReadIniInt(file, section, key, -99);
    }
    static std::string IniText(const std::string& file, const std::string& section, const std::string& key) {
        FlushIniCache();
        return ReadIniString(file, section, key, "<missing>");
    }

    TempDir dir;
    Settings settings;
    FakeRegistry reg;
    FakePrompts prompts;
    EditorShared shared;
};

}  // namespace vt
