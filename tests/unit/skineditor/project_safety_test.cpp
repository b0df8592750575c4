// A designer's project is never lost: damaged files are described before
// they are opened and never saved over unasked, missing pictures keep their
// paths, Save As leaves the original alone, unsaved work is asked about.
#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <random>

#include "common/atomic_file.h"
#include "common/ini.h"
#include "platform/fake/fakes.h"
#include "skineditor/editor_project.h"
#include "skineditor/skin_builder.h"
#include "tests/unit/temp_dir.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

struct Ui : ProjectUi {
    std::deque<bool> answers;
    std::deque<Answer> threeWay;
    std::vector<std::string> events;
    std::string openPath, savePath, saveAsPath;
    bool Next() {
        bool a = !answers.empty() && answers.front();
        if (!answers.empty()) answers.pop_front();
        return a;
    }
    bool AskYesNo(const std::string& text, const std::string&) override {
        events.push_back("ask:" + text);
        return Next();
    }
    bool ConfirmRisk(const std::string& text, const std::string&) override {
        events.push_back("risk:" + text);
        return Next();
    }
    Answer AskYesNoCancel(const std::string& text, const std::string&) override {
        events.push_back("ync:" + text);
        Answer a = threeWay.empty() ? Answer::Cancel : threeWay.front();
        if (!threeWay.empty()) threeWay.pop_front();
        return a;
    }
    std::string AskOpenPath() override { return openPath; }
    std::string AskSavePath() override { return savePath; }
    std::string AskSaveAsPath() override { return saveAsPath; }
    void ShowError(const std::string& text) override { events.push_back("error:" + text); }
    void ShowWarning(const std::string& text) override { events.push_back("warning:" + text); }
    bool Saw(const std::string& prefix, const std::string& part) const {
        for (const auto& e : events)
            if (e.rfind(prefix, 0) == 0 && e.find(part) != std::string::npos) return true;
        return false;
    }
};

struct SafetyTest : ::testing::Test {
    TempDir dir;
    FakePictures pictures;
    FakeTextMeasure measure;
    EditorModel model{pictures, measure};
    Ui ui;

    std::string Picture(const std::string& name) {
        const std::string p = dir.File(name);
        fs::create_directories(PathFromUtf8(GetFolderPart(p)));
        std::ofstream(PathFromUtf8(p)) << "picture " << name;
        return p;
    }
    // A complete project in proj/, its pictures in proj/img/.
    std::string Project() {
        fs::create_directories(dir.Path() / "proj");
        for (const auto& s : kSlots)
            if (s.kind == SlotKind::Picture)
                model.SetSlotText(s.slot, Picture("proj/img/p" + std::to_string(s.slot) + ".gif"));
        model.SetSlotText(44, "原样");
        const std::string file = dir.File("proj/p.vse");
        EXPECT_TRUE(SaveProject(model, file));
        model.Reset();
        MarkSaved(model);
        return file;
    }
    std::string Bytes(const std::string& file) { return ReadFileBytes(PathFromUtf8(file)).value_or("<none>"); }
};

TEST_F(SafetyTest, MissingPicturesSurviveOpenAndSaveAndBlockTheBuildByName) {
    const std::string file = Project();
    const std::string stored = ReadIniString(file, "TITLE", "Close1", "");
    const std::string storedBackdrop = ReadIniString(file, "MAIN", "Backdrop", "");
    fs::remove(PathFromUtf8(dir.File("proj/img/p0.gif")));
    fs::remove(PathFromUtf8(dir.File("proj/img/p2.gif")));
    fs::remove(PathFromUtf8(dir.File("proj/img/p54.gif")));  // no preview on the mock-up

    ui.openPath = file;
    ASSERT_EQ(OpenCommand(model, ui), CommandResult::Done) << ::testing::PrintToString(ui.events);
    // One message names all three.
    ASSERT_EQ(ui.events.size(), 1u);
    EXPECT_TRUE(ui.Saw("warning:", "主窗口 背景图片: " + dir.File("proj/img/p0.gif")));
    EXPECT_TRUE(ui.Saw("warning:", "标题栏 关闭按钮(一般): " + dir.File("proj/img/p2.gif")));
    EXPECT_TRUE(ui.Saw("warning:", "主窗口 文件夹图标: "));
    EXPECT_EQ(model.MissingPictures(), (std::vector<int>{0, 54, 2}));
    EXPECT_EQ(model.SlotText(2), dir.File("proj/img/p2.gif"));
    EXPECT_EQ(model.Get(El::ImgClose).picture, PictureSource::BuiltIn);  // the stand-in, marked missing
    EXPECT_FALSE(model.IsMissing(3));
    EXPECT_FALSE(IsModified(model));

    // The box losing the focus keeps the path; only a change clears the mark.
    EXPECT_FALSE(model.ApplyProperty(2));
    EXPECT_EQ(model.SlotText(2), dir.File("proj/img/p2.gif"));
    EXPECT_TRUE(model.IsMissing(2));

    ui.answers = {true};
    ASSERT_EQ(SaveCommand(model, ui), CommandResult::Done);
    EXPECT_EQ(ReadIniString(file, "TITLE", "Close1", "?"), stored);
    EXPECT_EQ(ReadIniString(file, "MAIN", "Backdrop", "?"), storedBackdrop);
    EXPECT_EQ(storedBackdrop, "\\img" + std::string(1, NativeSeparator()) + "p0.gif");

    fs::create_directories(dir.Path() / "out");
    BuildResult r = BuildSkinPackage(model, dir.File("out"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.detail, "找不到图片 主窗口 背景图片: " + dir.File("proj/img/p0.gif"));
    EXPECT_FALSE(fs::exists(dir.Path() / "out" / "skin.vsu"));

    // Choosing another picture clears the mark.
    model.SetSlotText(2, Picture("proj/img/new.gif"));
    EXPECT_FALSE(model.IsMissing(2));
}

TEST_F(SafetyTest, DamagedFilesAreDescribedByLineAndKey) {
    const std::string good = Bytes(Project());
    ASSERT_TRUE(CheckProjectBytes(good).Ok()) << DescribeProblems(CheckProjectBytes(good), 20);

    auto without = [&](const std::string& section) {
        std::string s = good;
        size_t a = s.find("[" + section + "]");
        size_t b = s.find('[', a + 1);
        return s.erase(a, b == std::string::npos ? std::string::npos : b - a);
    };
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string s = good;
        return s.replace(s.find(from), from.size(), to);
    };
    auto lineOf = [&](const std::string& text) {
        return 1 + static_cast<int>(std::count(good.begin(), good.begin() + static_cast<long>(good.find(text)), '\n'));
    };
    std::mt19937 rng(7);
    std::string noise(3000, '\0');
    for (char& c : noise)
        c = static_cast<char>(rng());

    struct Case {
        std::string name, bytes;
        bool recognised;
        std::vector<std::string> says;
        std::vector<std::pair<std::string, std::string>> unread;
    };
    const std::string cut = good.substr(0, good.find("UpLeft=") + 4);  // ends in the middle of a key
    const Case cases[] = {
        {"truncated",
         cut,
         true,
         {"第 " + std::to_string(lineOf("UpLeft=")) + " 行: 无法识别的内容: UpLe",
          "[ITEM] 节缺少键: UpLeft, UpTop, DownLeft, DownTop"},
         {{"ITEM", "UpLeft"}, {"ITEM", "DownTop"}}},
        {"random bytes", noise, false, {"文字无法识别", "缺少 [SKIN] 节"}, {{"SKIN", "Name"}}},
        {"section missing", without("TEAM"), true, {"缺少 [TEAM] 节"}, {{"TEAM", "Width"}, {"TEAM", "LeftTop"}}},
        {"out of range",
         replaced("FontSize=9\r\nTextColor1=0\r\nTextColor2=0\r\nTextColor3=0\r\nBackColor1",
                  "FontSize=300\r\nTextColor1=0\r\nTextColor2=0\r\nTextColor3=0\r\nBackColor1"),
         true,
         {"[TEAM] FontSize=300 超出范围(0 到 255)"},
         {{"TEAM", "FontSize"}}},
        {"not a number", replaced("Frame=1", "Frame=yes"), true, {"[TEAM] Frame=yes 应为 0 或 1"}, {{"TEAM", "Frame"}}},
        {"empty", "", false, {"文件是空的"}, {{"MENU", "Left"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ProjectCheck check = CheckProjectBytes(c.bytes);
        EXPECT_FALSE(check.Ok());
        EXPECT_EQ(check.recognised, c.recognised);
        const std::string text = DescribeProblems(check, 50);
        for (const auto& say : c.says)
            EXPECT_NE(text.find(say), std::string::npos) << say << " in\n" << text;
        for (const auto& [section, key] : c.unread)
            EXPECT_TRUE(check.IsUnread(section, key)) << section << " " << key;
        if (c.recognised) {
            EXPECT_FALSE(check.IsUnread("SKIN", "Version"));  // what is sound is still read
        }
    }

    // An out-of-range line names its line; the list stays short for noise.
    const ProjectCheck range = CheckProjectBytes(replaced("Frame=1", "Frame=7"));
    ASSERT_EQ(range.problems.size(), 1u);
    EXPECT_EQ(range.problems[0].line, lineOf("Frame=1"));
    EXPECT_LE(CheckProjectBytes(noise).problems.size(), 12u);
    EXPECT_EQ(DescribeUnread(CheckProjectBytes(without("MENU"))), "[MENU] 全部");
}

TEST_F(SafetyTest, DamagedProjectOpensOnlyWhenAskedAndIsNeverSavedOverUnasked) {
    const std::string file = Project();
    std::string bytes = Bytes(file);
    bytes.replace(bytes.find("Height=3015"), 11, "Height=-5");
    bytes.erase(bytes.find("[MENU]"), bytes.find("[TEAM]") - bytes.find("[MENU]"));
    ASSERT_TRUE(WriteFileAtomic(PathFromUtf8(file), bytes));
    FlushIniCache();

    model.SetSlotText(45, "kept");
    MarkSaved(model);
    ui.openPath = file;
    ui.answers = {false};
    EXPECT_EQ(OpenCommand(model, ui), CommandResult::Cancelled);
    ASSERT_EQ(ui.events.size(), 1u);
    EXPECT_TRUE(ui.Saw("risk:", "缺少 [MENU] 节"));
    EXPECT_TRUE(ui.Saw("risk:", "[ITEM] Height=-5 超出范围"));
    EXPECT_TRUE(ui.Saw("risk:", "[MENU] 全部"));
    EXPECT_EQ(model.SlotText(45), "kept");  // not opened: nothing changed

    ui.events.clear();
    ui.answers = {true};
    ASSERT_EQ(OpenCommand(model, ui), CommandResult::Done);
    EXPECT_EQ(model.SlotText(49), "3015");  // unread: the default
    EXPECT_EQ(model.SlotText(15), "9");
    EXPECT_EQ(model.Get(El::LabMenu0).rect.left, 240);
    EXPECT_EQ(model.SlotText(44), "原样");
    EXPECT_FALSE(IsModified(model));

    // Save names the problem and defaults to not overwriting.
    ui.events.clear();
    ui.answers = {false};
    EXPECT_EQ(SaveCommand(model, ui), CommandResult::Cancelled);
    EXPECT_TRUE(ui.Saw("risk:", "缺少 [MENU] 节"));
    EXPECT_EQ(Bytes(file), bytes);
    // So does the unsaved-work question's Yes.
    model.SetSlotText(46, "作者");
    ui.threeWay = {Answer::Yes};
    ui.answers = {false};
    EXPECT_FALSE(ConfirmDiscard(model, ui));
    EXPECT_EQ(Bytes(file), bytes);

    ui.answers = {true};
    ASSERT_EQ(SaveCommand(model, ui), CommandResult::Done);
    EXPECT_TRUE(CheckProject(file).Ok());
    EXPECT_TRUE(model.openProblems.empty());
}

TEST_F(SafetyTest, UnreadableFilesAreRefusedWithTheirReason) {
    const std::string noise = dir.File("noise.vse");
    ASSERT_TRUE(WriteFileAtomic(PathFromUtf8(noise), std::string("\x01\x02\xff\xfe\x80\x00garbage\x9f", 14)));
    model.SetSlotText(44, "mine");
    MarkSaved(model);
    ui.openPath = noise;
    EXPECT_EQ(OpenCommand(model, ui), CommandResult::Failed);
    EXPECT_TRUE(ui.Saw("error:", "无法打开 noise.vse"));
    EXPECT_EQ(model.SlotText(44), "mine");
    EXPECT_EQ(model.currentProjectPath, "");

    ui.openPath = dir.File("gone.vse");
    EXPECT_EQ(OpenCommand(model, ui), CommandResult::Failed);
    EXPECT_TRUE(ui.Saw("error:", "无法读取文件"));
}

TEST_F(SafetyTest, SaveAsWritesASecondProjectAndLeavesTheFirstAlone) {
    const std::string first = Project();
    const std::string inside = Picture("variant/img/bg.gif");
    ui.openPath = first;
    ASSERT_EQ(OpenCommand(model, ui), CommandResult::Done);
    const std::string before = Bytes(first);
    model.SetSlotText(0, inside);
    model.SetSlotText(44, "变体");
    EXPECT_TRUE(IsModified(model));
    EXPECT_EQ(TitleText(model), "*VT Skin Editor - 原样");

    ui.saveAsPath = dir.File("variant/v");
    ASSERT_EQ(SaveAsCommand(model, ui), CommandResult::Done);
    const std::string second = dir.File("variant/v.vse");
    EXPECT_EQ(Bytes(first), before);
    // Pictures in the new folder become relative to it, the others stay whole.
    EXPECT_EQ(ReadIniString(second, "MAIN", "Backdrop", ""), "\\img" + std::string(1, NativeSeparator()) + "bg.gif");
    EXPECT_EQ(ReadIniString(second, "TITLE", "Close1", ""), dir.File("proj/img/p2.gif"));
    EXPECT_EQ(model.currentProjectPath, second);
    EXPECT_EQ(TitleText(model), "VT Skin Editor - 变体");

    // Save now goes to the new file.
    model.SetSlotText(45, "2");
    ui.answers = {true};
    ASSERT_EQ(SaveCommand(model, ui), CommandResult::Done);
    EXPECT_EQ(ReadIniString(second, "SKIN", "Version", ""), "2");
    EXPECT_EQ(Bytes(first), before);

    // Another existing project is replaced only when confirmed, and whole.
    ASSERT_TRUE(WriteIniString(first, "SKIN", "Extra", "x"));
    const std::string held = Bytes(first);
    ui.saveAsPath = first;
    ui.answers = {false};
    EXPECT_EQ(SaveAsCommand(model, ui), CommandResult::Cancelled);
    EXPECT_EQ(Bytes(first), held);
    ui.answers = {true};
    ASSERT_EQ(SaveAsCommand(model, ui), CommandResult::Done);
    EXPECT_EQ(ReadIniString(first, "SKIN", "Extra", "gone"), "gone");
    EXPECT_EQ(ReadIniString(first, "SKIN", "Name", ""), "变体");
    EXPECT_TRUE(CheckProject(first).Ok());
}

TEST_F(SafetyTest, UnsavedWorkIsAskedAboutAndCancelKeepsIt) {
    MarkSaved(model);
    EXPECT_TRUE(ConfirmDiscard(model, ui));  // nothing to lose: no question
    EXPECT_TRUE(ui.events.empty());
    EXPECT_EQ(TitleText(model), "VT Skin Editor");

    model.MoveTo(El::ImgClose, 100, 100);
    EXPECT_EQ(TitleText(model), "*VT Skin Editor");
    ui.threeWay = {Answer::Cancel, Answer::No};
    EXPECT_FALSE(ConfirmDiscard(model, ui));
    EXPECT_EQ(model.Get(El::ImgClose).rect.left, 100);
    EXPECT_TRUE(ConfirmDiscard(model, ui));
    EXPECT_EQ(ui.events, (std::vector<std::string>(2, "ync:是否保存对皮肤文件的修改?")));

    // Yes on an untitled project asks for a name; cancelling that keeps all.
    ui.threeWay = {Answer::Yes, Answer::Yes};
    EXPECT_FALSE(ConfirmDiscard(model, ui));
    ui.savePath = dir.File("kept");
    EXPECT_TRUE(ConfirmDiscard(model, ui));
    EXPECT_EQ(ReadIniString(dir.File("kept.vse"), "TITLE", "CloseLeft", ""), "100");
    EXPECT_FALSE(IsModified(model));
}

TEST_F(SafetyTest, SaveFailuresNameTheirCause) {
    const std::string file = dir.File("p.vse");
    fs::create_directories(PathFromUtf8(file));  // a folder in the way
    SaveResult r = SaveProject(model, file);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.cause, "同名的文件夹挡住了文件: " + file);
    EXPECT_EQ(SaveProject(model, dir.File("none/p.vse"), true).cause, "文件夹不存在: " + dir.File("none"));
}

}  // namespace
}  // namespace vt
