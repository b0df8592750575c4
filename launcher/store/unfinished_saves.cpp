#include "launcher/store/unfinished_saves.h"

#include <filesystem>
#include <vector>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "launcher/store/store.h"

namespace vt {

namespace {

namespace fs = std::filesystem;

// "DATA\<folder>\ITEM.SET": the way the user sees the program folder.
std::string Shown(const fs::path& appDir, const fs::path& file) {
    std::string out;
    for (const fs::path& part : file.lexically_relative(appDir)) {
        if (!out.empty()) out += '\\';
        out += PathToUtf8(part);
    }
    return out;
}

}  // namespace

int OfferUnfinishedSaves(const std::string& appDir, Prompts& prompts) {
    const fs::path app = PathFromUtf8(appDir);
    const fs::path data = PathFromUtf8(DataDir(appDir));
    std::vector<fs::path> folders{data};
    std::error_code ec;
    for (fs::directory_iterator it(data, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code e;
        if (it->is_directory(e)) folders.push_back(it->path());
    }
    int restored = 0;
    for (const fs::path& folder : folders) {
        for (const UnfinishedSave& save : FindUnfinishedSaves(folder)) {
            std::string text = kAskRestoreSave;
            text.replace(text.find("%s"), 2, Shown(app, save.target));
            if (prompts.Confirm(text, kAskRestoreSaveCaption) && RestoreUnfinishedSave(save)) ++restored;
        }
    }
    return restored;
}

}  // namespace vt
