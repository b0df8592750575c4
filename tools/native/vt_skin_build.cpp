// Builds a skin package from an editable skin project without the editor's
// window, through the editor's own builder:
//   vt_skin_build <project.vse> <target folder>
// The target folder is created when missing. Exit code 0 on success.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "common/codepage.h"
#include "skineditor/editor_model.h"
#include "skineditor/editor_project.h"
#include "skineditor/picture_probe.h"
#include "skineditor/skin_builder.h"

namespace {

// SimSun: a half-width character is half an em wide.
class EmTextMeasure : public vt::TextMeasure {
public:
    int TextWidthTwips(const std::string& text, int fontSizePt) override {
        return static_cast<int>(vt::Utf8ToAnsi(text).size()) * fontSizePt * 10;
    }
};

}  // namespace

static int Run(const std::string& project, const std::string& target) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(vt::PathFromUtf8(project), ec)) {
        std::fprintf(stderr, "vt_skin_build: no project file %s\n", project.c_str());
        return 1;
    }
    std::filesystem::create_directories(vt::PathFromUtf8(target), ec);

    vt::HeaderPictures pictures;
    EmTextMeasure measure;
    vt::EditorModel model(pictures, measure);
    vt::LoadProject(model, project);
    // Open empties a box whose picture cannot be loaded; say which.
    for (const auto& p : vt::kPackagePictures)
        if (model.SlotText(p.slot).empty() && !p.optional)
            std::fprintf(stderr, "vt_skin_build: no usable picture for %s\n", std::string(p.file).c_str());

    vt::BuildResult r = vt::BuildSkinPackage(model, target);
    if (!r.ok) {
        std::fprintf(stderr, "vt_skin_build: %s\n", r.detail.c_str());
        return 1;
    }
    // The editor fills a gap with its stand-in; a skin built from a project
    // on the command line (the bundled ones) must have every picture.
    if (!r.standIns.empty()) {
        std::fprintf(stderr, "vt_skin_build: %u pictures are the editor's stand-ins\n",
                     static_cast<unsigned>(r.standIns.size()));
        return 1;
    }
    return 0;
}

#ifdef _WIN32
// Wide arguments, so that Chinese folder names survive any code page.
int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vt_skin_build <project.vse> <target folder>\n");
        return 2;
    }
    return Run(vt::PathToUtf8(std::filesystem::path(argv[1])), vt::PathToUtf8(std::filesystem::path(argv[2])));
}
#else
int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vt_skin_build <project.vse> <target folder>\n");
        return 2;
    }
    return Run(argv[1], argv[2]);
}
#endif
