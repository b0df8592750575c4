#include <gtest/gtest.h>

#include <deque>
#include <fstream>

#include "common/atomic_file.h"
#include "common/ini.h"
#include "platform/fake/fakes.h"
#include "skineditor/editor_project.h"
#include "tests/unit/temp_dir.h"

namespace vt {
namespace {

TEST(EditorPaths, FolderPartRelativeAndResolved) {
    EXPECT_EQ(GetFolderPart("C:\\skins\\blue\\blue.vse"), "C:\\skins\\blue");
    EXPECT_EQ(GetFolderPart("blue.vse"), "");
    EXPECT_EQ(GetFolderPart("C:\\x.vse"), "C:");

    struct Case {
        const char* folder;
        const char* path;
        const char* stored;
    };
    const Case cases[] = {
        {"C:\\skins\\blue\\", "C:\\skins\\blue\\img\\bar.gif", "\\img\\bar.gif"},
        {"C:\\p\\", "C:\\p\\bg.gif", "\\bg.gif"},
        {"C:\\P\\", "c:\\P\\bg.gif", "c:\\P\\bg.gif"},  // differs in case: kept whole
        {"C:\\p\\", "D:\\other\\bg.gif", "D:\\other\\bg.gif"},
        {"C:\\p\\", "C:\\p\\", "C:\\p\\"},  // not longer than the folder
        {"C:\\p\\", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeRelativePath(c.folder, c.path), c.stored) << c.path;

    const std::string sep(1, NativeSeparator());
    EXPECT_EQ(ResolveRelativePath("D:\\q", "\\bg.gif"), "D:\\q" + sep + "bg.gif");
    EXPECT_EQ(ResolveRelativePath("D:\\q", "E:\\bg.gif"), "E:\\bg.gif");
    EXPECT_EQ(ResolveRelativePath("D:\\q", ""), "");
}

TEST(EditorPaths, ProjectNameAndNumbers) {
    EXPECT_EQ(ProjectFileName("C:\\p\\blue"), "C:\\p\\blue.vse");
    EXPECT_EQ(ProjectFileName("blue.vse"), "blue.vse");
    EXPECT_EQ(ProjectFileName("blue.VSE"), "blue.VSE.vse");
    EXPECT_EQ(ProjectFileName("vse"), "vse.vse");
    EXPECT_EQ(FormatTwips(3960), "3960");
    EXPECT_EQ(FormatTwips(12.5), "12.5");
    EXPECT_EQ(FormatTwips(-30), "-30");
    EXPECT_EQ(FormatTwips(-0.0), "0");
}

struct ProjectTest : ::testing::Test {
    TempDir dir;
    FakePictures pictures;
    FakeTextMeasure measure;
    EditorModel model{pictures, measure};

    std::string Picture(const std::string& name) {
        std::filesystem::create_directories(PathFromUtf8(GetFolderPart(dir.File(name))));
        const std::string p = dir.File(name);
        std::ofstream(PathFromUtf8(p)) << name;
        return p;
    }
};

TEST_F(ProjectTest, RoundTripKeepsEverySlotFlagAndPosition) {
    const std::string project = dir.File("proj/x.vse");
    std::filesystem::create_directories(dir.Path() / "proj");
    for (const auto& s : kSlots) {
        std::string v;
        switch (s.kind) {
            case SlotKind::Picture:
                v = Picture("proj/img/p" + std::to_string(s.slot) + ".gif");
                break;
            case SlotKind::Colour:
                v = std::to_string(1000 + s.slot);
                break;
            case SlotKind::Points:
                v = std::to_string(10 + s.slot % 5);
                break;
            case SlotKind::Twips:
                v = std::to_string(2000 + s.slot);
                break;
            case SlotKind::Count:
                v = "5";
                break;
            case SlotKind::Text:
                v = "文字 " + std::to_string(s.slot);
                break;
        }
        model.SetSlotText(s.slot, v);
        model.ApplyProperty(s.slot);
    }
    const std::string outside = Picture("elsewhere/close.gif");
    model.SetSlotText(2, outside);
    model.SetFrame(0, false);
    model.MoveTo(El::ImgClose, -45, 30);
    model.MoveTo(El::PicTeam, 15, 2010);
    model.MoveTo(El::ImgDown, 99, 4000);
    model.MoveTo(El::LabMenu0, 300, 700);
    model.Mutable(El::ShpTitle).rect = {30, 45, 3000, 600};
    ASSERT_TRUE(SaveProject(model, project));

    // Pictures inside the project folder are kept relative to it.
    EXPECT_EQ(ReadIniString(project, "MAIN", "Backdrop", "?").substr(0, 5),
              "\\img" + std::string(1, NativeSeparator()));
    EXPECT_EQ(ReadIniString(project, "TITLE", "Close1", "?"), outside);
    EXPECT_EQ(ReadIniString(project, "TITLE", "CloseLeft", "?"), "-45");

    EditorModel loaded(pictures, measure);
    LoadProject(loaded, project);
    for (const auto& s : kSlots)
        EXPECT_EQ(loaded.SlotText(s.slot), model.SlotText(s.slot)) << s.slot;
    EXPECT_FALSE(loaded.Frame(0));
    EXPECT_TRUE(loaded.Frame(1));
    for (El e : {El::ShpTitle, El::ImgClose, El::ImgMin, El::ImgLock, El::LabMenu0, El::PicTeam, El::ImgLeft,
                 El::ImgRight, El::PicItem, El::ImgUp, El::ImgDown}) {
        EXPECT_EQ(loaded.Get(e).rect.left, model.Get(e).rect.left) << static_cast<int>(e);
        EXPECT_EQ(loaded.Get(e).rect.top, model.Get(e).rect.top) << static_cast<int>(e);
    }
    EXPECT_EQ(loaded.Get(El::ShpTitle).rect.width, 3000);
    EXPECT_EQ(loaded.Get(El::LabMove2).rect.left, 2930);  // title bar laid out after reading
    EXPECT_EQ(loaded.Get(El::LabMenu1).rect.left, 300 + 360 + 180);
    EXPECT_EQ(loaded.Get(El::ShpMenu).rect.top, 650);
    EXPECT_EQ(loaded.Get(El::PicItem).rect.width, 5 * 1025 + 200);
    EXPECT_EQ(loaded.currentProjectPath, project);
    EXPECT_EQ(loaded.windowTitle, "VT Skin Editor - 文字 44");
    EXPECT_FALSE(loaded.isLoadingProject);
}

TEST_F(ProjectTest, MovedProjectFindsItsPicturesInTheNewFolder) {
    const std::string bg = Picture("p/bg.gif");
    model.SetSlotText(0, bg);
    ASSERT_TRUE(SaveProject(model, dir.File("p/x.vse")));
    EXPECT_EQ(ReadIniString(dir.File("p/x.vse"), "MAIN", "Backdrop", ""), "\\bg.gif");
    std::filesystem::rename(dir.Path() / "p", dir.Path() / "q");
    FlushIniCache();
    EditorModel loaded(pictures, measure);
    LoadProject(loaded, dir.File("q/x.vse"));
    EXPECT_EQ(loaded.SlotText(0), dir.File("q/bg.gif"));
    EXPECT_EQ(loaded.Get(El::PicEditIn).picture, PictureSource::File);
}

TEST_F(ProjectTest, SparseAndOddFilesReadAsZeroAndEmpty) {
    const std::string project = dir.File("odd.vse");
    ASSERT_TRUE(WriteFileAtomic(PathFromUtf8(project),
                                "[TITLE]\r\nLeft=12.5\r\nWidth=-40\r\n[team]\r\nleft=abc\r\nFrame=7\r\n"));
    LoadProject(model, project);
    EXPECT_EQ(model.Get(El::ShpTitle).rect.left, 12);
    EXPECT_EQ(model.Get(El::ShpTitle).rect.width, 4500);  // negative size skipped
    EXPECT_EQ(model.Get(El::PicTeam).rect.left, 0);
    EXPECT_EQ(model.Get(El::ImgDown).rect.top, 0);
    EXPECT_TRUE(model.Frame(0));  // not a flag value: left as it was
    EXPECT_EQ(model.SlotText(47), "");
    EXPECT_EQ(model.SlotText(31), "");
    EXPECT_EQ(model.windowTitle, "VT Skin Editor - ");
}

TEST_F(ProjectTest, PositionsOffTheWindowLoadAsStoredAndCanBeGrabbed) {
    // Saved by an editor that let elements go anywhere: they come back where
    // they were, can be picked on the canvas and are saved unchanged.
    const std::string project = dir.File("off.vse");
    ASSERT_TRUE(
        WriteFileAtomic(PathFromUtf8(project),
                        "[ITEM]\r\nDownLeft=-3000\r\nDownTop=9000\r\n[TITLE]\r\nCloseLeft=-600\r\nCloseTop=-900\r\n"));
    LoadProject(model, project);
    const MockRect down = model.Get(El::ImgDown).rect;
    EXPECT_EQ(down.left, -3000);
    EXPECT_EQ(down.top, 9000);
    EXPECT_EQ(model.HitTest(down.left + 10, down.top + 10), El::ImgDown);
    EXPECT_EQ(model.HitTest(-600 + 10, -900 + 10), El::ImgClose);
    const MockRect area = model.ReachableArea();
    EXPECT_LE(area.left, -3000 - 120);
    EXPECT_LE(area.top, -900 - 120);
    EXPECT_GE(area.Bottom(), down.Bottom() + 120);

    const std::string again = dir.File("again.vse");
    ASSERT_TRUE(SaveProject(model, again));
    EXPECT_EQ(ReadIniString(again, "ITEM", "DownLeft", "?"), "-3000");
    EXPECT_EQ(ReadIniString(again, "ITEM", "DownTop", "?"), "9000");
    EXPECT_EQ(ReadIniString(again, "TITLE", "CloseTop", "?"), "-900");
}

TEST_F(ProjectTest, SavingTwiceReplacesKeysInPlaceAndKeepsOthers) {
    const std::string project = dir.File("p.vse");
    ASSERT_TRUE(SaveProject(model, project));
    ASSERT_TRUE(WriteIniString(project, "MENU", "Mine", "kept"));
    model.SetSlotText(15, "11");
    ASSERT_TRUE(SaveProject(model, project));
    EXPECT_EQ(ReadIniString(project, "MENU", "FontSize", ""), "11");
    EXPECT_EQ(ReadIniString(project, "MENU", "Mine", ""), "kept");

    auto text = ReadFileBytes(PathFromUtf8(project));
    ASSERT_TRUE(text);
    std::vector<std::string> sections;
    size_t pos = 0;
    while ((pos = text->find('[', pos)) != std::string::npos) {
        size_t end = text->find(']', pos);
        sections.push_back(text->substr(pos + 1, end - pos - 1));
        pos = end;
    }
    EXPECT_EQ(sections, (std::vector<std::string>{"SKIN", "MAIN", "TITLE", "MENU", "TEAM", "ITEM"}));
    EXPECT_LT(text->find("TextColor=0"), text->find("Left="));  // slot keys before geometry
}

struct ScriptedUi : ProjectUi {
    std::deque<bool> answers;
    std::deque<Answer> threeWay;
    std::vector<std::string> events;
    std::string openPath, savePath, saveAsPath;
    bool Next() {
        bool a = answers.empty() ? false : answers.front();
        if (!answers.empty()) answers.pop_front();
        return a;
    }
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        events.push_back("ask:" + text + "|" + caption);
        return Next();
    }
    bool ConfirmRisk(const std::string& text, const std::string& caption) override {
        events.push_back("risk:" + text + "|" + caption);
        return Next();
    }
    Answer AskYesNoCancel(const std::string& text, const std::string& caption) override {
        events.push_back("ync:" + text + "|" + caption);
        Answer a = threeWay.empty() ? Answer::Cancel : threeWay.front();
        if (!threeWay.empty()) threeWay.pop_front();
        return a;
    }
    std::string AskOpenPath() override {
        events.push_back("open");
        return openPath;
    }
    std::string AskSavePath() override {
        events.push_back("save");
        return savePath;
    }
    std::string AskSaveAsPath() override {
        events.push_back("saveas");
        return saveAsPath;
    }
    void ShowError(const std::string& text) override { events.push_back("error:" + text); }
    void ShowWarning(const std::string& text) override { events.push_back("warning:" + text); }
};

TEST_F(ProjectTest, SaveWithoutOpenProjectAsksForANameEveryTime) {
    ScriptedUi ui;
    ui.savePath = dir.File("blue");
    EXPECT_EQ(SaveCommand(model, ui), CommandResult::Done);
    EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(dir.File("blue.vse"))));
    EXPECT_EQ(model.currentProjectPath, "");
    EXPECT_EQ(model.windowTitle, "VT Skin Editor");
    ui.savePath.clear();
    EXPECT_EQ(SaveCommand(model, ui), CommandResult::Cancelled);
    EXPECT_EQ(ui.events, (std::vector<std::string>{"save", "save"}));
}

TEST_F(ProjectTest, OpenWithUnsavedWorkOffersToSaveFirst) {
    const std::string first = dir.File("first.vse");
    ASSERT_TRUE(SaveProject(model, first));
    LoadProject(model, first);
    MarkSaved(model);
    model.SetSlotText(44, "edited");

    // Yes saves without asking "确定要保存修改吗?" a second time.
    ScriptedUi ui;
    ui.threeWay = {Answer::Yes};
    ui.openPath = "";
    EXPECT_EQ(OpenCommand(model, ui), CommandResult::Cancelled);
    EXPECT_EQ(ui.events, (std::vector<std::string>{"ync:是否保存对皮肤文件的修改?|保存提示", "open"}));
    EXPECT_EQ(ReadIniString(first, "SKIN", "Name", ""), "edited");
    // Cancelled: nothing changed.
    EXPECT_EQ(model.currentProjectPath, first);
    EXPECT_EQ(model.SlotText(44), "edited");

    // Nothing unsaved: straight to the open dialog.
    ui.events.clear();
    EXPECT_EQ(OpenCommand(model, ui), CommandResult::Cancelled);
    EXPECT_EQ(ui.events, (std::vector<std::string>{"open"}));

    // No: the change is dropped unsaved; Cancel: not even the dialog.
    model.SetSlotText(44, "not saved");
    ui.events.clear();
    ui.threeWay = {Answer::No, Answer::Cancel};
    EXPECT_EQ(OpenCommand(model, ui), CommandResult::Cancelled);
    EXPECT_EQ(OpenCommand(model, ui), CommandResult::Cancelled);
    EXPECT_EQ(ui.events.size(), 3u);
    EXPECT_EQ(ReadIniString(first, "SKIN", "Name", ""), "edited");
}

TEST_F(ProjectTest, FailedSaveIsReported) {
    ScriptedUi ui;
    ui.savePath = dir.File("no/such/folder/x");
    EXPECT_EQ(SaveCommand(model, ui), CommandResult::Failed);
    // The system's text first, the cause on the next line.
    EXPECT_EQ(ui.events.back(), "error:发生错误，无法保存!\n文件夹不存在: " + dir.File("no/such/folder"));
}

TEST_F(ProjectTest, AProjectThatIsThereButCannotBeReadIsNotOverwritten) {
    // A link to itself stands for a project another program holds open: the
    // name is taken, nothing can be read from it.
    std::filesystem::create_symlink("held.vse", dir.Path() / "held.vse");
    EXPECT_FALSE(SaveProject(model, dir.File("held.vse")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "held.vse"));
}

}  // namespace
}  // namespace vt
