// The skin editor keeps a designer's work through its real dialogs: missing
// pictures survive Open and Save and stop a build by name, damaged projects
// are described and never saved over unasked, and Save As leaves the
// original project as it was.
#include <gtest/gtest.h>

#include <random>

#include "common/atomic_file.h"
#include "common/ini.h"
#include "platform/fake/fakes.h"
#include "skineditor/editor_project.h"
#include "skineditor/skin_builder.h"
#include "tests/win32/editor_drive.h"
#include "tests/win32/layout_check.h"
#include "tests/win32/screenshot.h"

namespace vt {
namespace {

using namespace harness;

constexpr int kIdTxtCon = 200, kIdCmdOpen = 501, kIdCmdSave = 502, kIdCmdMake = 503, kIdCmdSaveAs = 507;
constexpr char kName[] = "安全测试";

class EditorProjectSafety : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        fs::create_directories(root_ / "proj");
        fs::copy(PathFromUtf8(VT_DIST_DIR) / "SKIN" / L"蓝色卷轴" / "image", root_ / "proj" / "image",
                 fs::copy_options::recursive);
    }

    // A complete project beside the pictures of the default skin.
    fs::path MakeProject() {
        FakePictures pictures;
        FakeTextMeasure measure;
        EditorModel model(pictures, measure);
        for (const auto& p : kPackagePictures)
            model.SetSlotText(p.slot, PathToUtf8(root_ / "proj" / "image" / PathFromUtf8(p.file)));
        model.SetSlotText(44, kName);
        const fs::path file = root_ / "proj" / "p.vse";
        EXPECT_TRUE(SaveProject(model, PathToUtf8(file)));
        return file;
    }
    bool Open(const fs::path& file) {
        ::PostMessageW(FindControl(main_, kIdCmdOpen), BM_CLICK, 0, 0);
        return DriveFileDialog(editor_, file.wstring());
    }
    // The editor's message box with this caption: its text, after pressing `button`.
    std::wstring Reply(const wchar_t* caption, int button, const std::wstring& shot = {}) {
        HWND box = WaitForMessageBox(editor_, caption);
        if (!box) return L"(no message box " + std::wstring(caption) + L": " + DescribeDialogs(editor_.Id()) + L")";
        const std::wstring text = MessageBoxText(box);
        if (!shot.empty()) SaveWindowScreenshot(box, ScreenshotDir() + shot + L".png");
        PostButton(box, button);
        editor_.WaitGone(box);
        return text;
    }
    bool TitleIs(const std::wstring& want) {
        return WaitFor(editor_.Handle(), kEditorDialogMs, [&] { return Text(main_) == want; });
    }
    static bool Has(const std::wstring& text, const std::string& part) {
        return text.find(Widen(part)) != std::wstring::npos;
    }
    static std::string Ini(const fs::path& file, const char* section, const char* key) {
        FlushIniCache();
        return ReadIniString(PathToUtf8(file), section, key, "?");
    }

    TempDir src_{"vt-editor-safe-"};
    const fs::path& root_ = src_.Path();
};

TEST_F(EditorProjectSafety, MissingPicturesSurviveOpenAndSaveAndBlockTheBuildByName) {
    const fs::path project = MakeProject();
    const fs::path backdrop = root_ / "proj" / "image" / "backdrop.img";
    const fs::path close = root_ / "proj" / "image" / "close1.img";
    fs::remove(backdrop);
    fs::remove(close);

    ASSERT_TRUE(Open(project));
    const std::wstring missing = Reply(L"VTSkinEditor", IDOK, L"skin_editor_missing_pictures");
    EXPECT_TRUE(Has(missing, "主窗口 背景图片: " + PathToUtf8(backdrop))) << Narrow(missing);
    EXPECT_TRUE(Has(missing, "标题栏 关闭按钮(一般): " + PathToUtf8(close))) << Narrow(missing);
    ASSERT_TRUE(TitleIs(Widen(std::string("VT Skin Editor - ") + kName))) << Narrow(Text(main_));
    EXPECT_EQ(Text(FindControl(main_, kIdTxtCon + 0)), backdrop.wstring());
    EXPECT_EQ(Text(FindControl(main_, kIdTxtCon + 2)), close.wstring());
    SaveSteadyScreenshot(editor_.Handle(), main_, L"skin_editor_missing_marked");

    // An edit marks the title; Save writes it and the kept paths unchanged.
    SetText(FindControl(main_, kIdTxtCon + 45), L"2.0");
    EXPECT_TRUE(TitleIs(Widen(std::string("*VT Skin Editor - ") + kName)));
    ::PostMessageW(FindControl(main_, kIdCmdSave), BM_CLICK, 0, 0);
    EXPECT_EQ(Reply(L"保存确认", IDYES), L"确定要保存修改吗?");
    ASSERT_TRUE(WaitFor(editor_.Handle(), kEditorDialogMs, [&] { return Ini(project, "SKIN", "Version") == "2.0"; }));
    EXPECT_EQ(Ini(project, "MAIN", "Backdrop"), "\\image\\backdrop.img");
    EXPECT_EQ(Ini(project, "TITLE", "Close1"), "\\image\\close1.img");
    EXPECT_TRUE(TitleIs(Widen(std::string("VT Skin Editor - ") + kName)));

    // The build names the first missing picture under the system's message.
    const fs::path out = root_ / "out";
    fs::create_directories(out);
    ::PostMessageW(FindControl(main_, kIdCmdMake), BM_CLICK, 0, 0);
    ASSERT_EQ(DriveFolderDialog(editor_, out), "");
    EXPECT_EQ(Reply(L"VTSkinEditor", IDOK),
              Widen("发生错误，无法保存!\n找不到图片 主窗口 背景图片: " + PathToUtf8(backdrop)));
    EXPECT_FALSE(fs::exists(out / "skin.vsu"));
}

TEST_F(EditorProjectSafety, DamagedProjectsSayWhatIsWrongAndAreNeverOverwrittenUnasked) {
    const std::string good = *ReadFileBytes(MakeProject());
    std::mt19937 rng(11);
    std::string noise(4000, '\0');
    for (char& c : noise)
        c = static_cast<char>(rng());
    std::string noTeam = good;
    noTeam.erase(noTeam.find("[TEAM]"), noTeam.find("[ITEM]") - noTeam.find("[TEAM]"));
    std::string range = good;
    range.replace(range.find("Width=4\r\n"), 9, "Width=99\r\n");

    struct Case {
        const char* file;
        std::string bytes;
        const wchar_t* caption;
        std::string says;
    };
    const Case cases[] = {
        {"cut.vse", good.substr(0, good.size() / 2), L"打开提示", "缺少"},
        {"noise.vse", noise, L"VTSkinEditor", "无法打开 noise.vse"},
        {"noteam.vse", noTeam, L"打开提示", "缺少 [TEAM] 节"},
        {"range.vse", range, L"打开提示", "[ITEM] Width=99 超出范围(0 到 31)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const fs::path file = root_ / "proj" / c.file;  // beside the pictures it names
        ASSERT_TRUE(WriteFileAtomic(file, c.bytes));
        ASSERT_TRUE(Open(file));
        const std::wstring text = Reply(c.caption, c.caption == std::wstring(L"VTSkinEditor") ? IDOK : IDNO);
        EXPECT_TRUE(Has(text, c.says)) << Narrow(text);
        EXPECT_EQ(*ReadFileBytes(file), c.bytes);
        EXPECT_TRUE(TitleIs(L"VT Skin Editor"));
    }

    // Opened anyway, the unreadable value keeps its default; saving over the
    // file asks again, naming the problem, and No leaves it alone.
    const fs::path file = root_ / "proj" / "range.vse";
    ASSERT_TRUE(Open(file));
    const std::wstring asked = Reply(L"打开提示", IDYES, L"skin_editor_damaged_project");
    EXPECT_TRUE(Has(asked, "[ITEM] Width")) << Narrow(asked);
    ASSERT_TRUE(TitleIs(Widen(std::string("VT Skin Editor - ") + kName)));
    EXPECT_EQ(Text(FindControl(main_, kIdTxtCon + 43)), L"4");
    ::PostMessageW(FindControl(main_, kIdCmdSave), BM_CLICK, 0, 0);
    const std::wstring confirm = Reply(L"保存确认", IDNO);
    EXPECT_TRUE(Has(confirm, "[ITEM] Width=99 超出范围")) << Narrow(confirm);
    EXPECT_EQ(*ReadFileBytes(file), range);
}

TEST_F(EditorProjectSafety, SaveAsWritesASecondProjectAndLeavesTheFirstUntouched) {
    const fs::path first = MakeProject();
    const std::string before = *ReadFileBytes(first);
    ASSERT_TRUE(Open(first));
    ASSERT_TRUE(TitleIs(Widen(std::string("VT Skin Editor - ") + kName)));
    HWND button = FindControl(main_, kIdCmdSaveAs);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(Text(button), L"另存为");
    SaveSteadyScreenshot(editor_.Handle(), main_, L"skin_editor_save_as");
    const auto faults = CheckLayout(main_);  // the bottom row has room for one more button
    EXPECT_TRUE(faults.empty()) << JoinFaults(faults);

    SetText(FindControl(main_, kIdTxtCon + 44), L"变体");
    fs::create_directories(root_ / "variant");
    ::PostMessageW(button, BM_CLICK, 0, 0);
    ASSERT_TRUE(DriveFileDialog(editor_, (root_ / "variant" / "v").wstring()));
    const fs::path second = root_ / "variant" / "v.vse";
    ASSERT_TRUE(WaitFor(editor_.Handle(), kEditorDialogMs, [&] { return Ini(second, "SKIN", "Name") == "变体"; }))
        << Narrow(DescribeDialogs(editor_.Id()));
    EXPECT_TRUE(TitleIs(L"VT Skin Editor - 变体"));
    EXPECT_EQ(*ReadFileBytes(first), before);
    // The pictures stayed beside the first project: named in full now.
    EXPECT_EQ(Ini(second, "MAIN", "Backdrop"), PathToUtf8(root_ / "proj" / "image" / "backdrop.img"));

    // Ctrl+Shift+S asks for a name the same way; cancelled, nothing changes.
    ASSERT_TRUE(BringToFront(editor_.Handle(), main_));
    INPUT keys[6] = {};
    const WORD order[6] = {VK_CONTROL, VK_SHIFT, 'S', 'S', VK_SHIFT, VK_CONTROL};
    for (int i = 0; i < 6; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = order[i];
        keys[i].ki.dwFlags = i < 3 ? 0 : KEYEVENTF_KEYUP;
    }
    ::SendInput(6, keys, sizeof(INPUT));
    HWND dialog = editor_.WaitForWindow(L"#32770", L"另存为可编辑皮肤文件", kEditorDialogMs);
    ASSERT_NE(dialog, nullptr) << "Ctrl+Shift+S opened no Save As dialog";
    PostButton(dialog, IDCANCEL);
    ASSERT_TRUE(editor_.WaitGone(dialog));
    EXPECT_TRUE(TitleIs(L"VT Skin Editor - 变体"));

    // Save goes on to the new file.
    SetText(FindControl(main_, kIdTxtCon + 45), L"3");
    ::PostMessageW(FindControl(main_, kIdCmdSave), BM_CLICK, 0, 0);
    Reply(L"保存确认", IDYES);
    EXPECT_TRUE(WaitFor(editor_.Handle(), kEditorDialogMs, [&] { return Ini(second, "SKIN", "Version") == "3"; }));
    EXPECT_EQ(*ReadFileBytes(first), before);
}

}  // namespace
}  // namespace vt
