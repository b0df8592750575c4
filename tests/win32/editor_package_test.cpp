// The editor's packages as Windows' own profile functions read them.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/codepage.h"
#include "platform/fake/fakes.h"
#include "skineditor/editor_project.h"
#include "skineditor/skin_builder.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

TEST(EditorPackageOnWindows, Kernel32ReadsWhatTheBuilderWrote) {
    harness::TempDir tmp("vt-editor-");
    FakePictures pictures;
    FakeTextMeasure measure;
    EditorModel model(pictures, measure);
    for (const auto& p : kPackagePictures) {
        auto src = tmp.Path() / (std::wstring(p.file.begin(), p.file.end()) + L".src");
        std::ofstream(src, std::ios::binary) << "x";
        model.SetSlotText(p.slot, PathToUtf8(src));
    }
    model.SetSlotText(44, "蓝色卷轴");
    model.SetSlotText(47, "http://example.org/");
    model.SetSlotText(31, "1234.5");
    model.MoveTo(El::ImgUp, -75, 30);
    const std::string folder = PathToUtf8(tmp.Path() / L"蓝色卷轴");
    std::filesystem::create_directories(PathFromUtf8(folder));
    ASSERT_TRUE(BuildSkinPackage(model, folder).ok);

    const std::wstring vsu = (tmp.Path() / L"蓝色卷轴" / L"skin.vsu").wstring();
    wchar_t buf[256];
    ::GetPrivateProfileStringW(L"SKIN", L"Name", L"", buf, 256, vsu.c_str());
    EXPECT_STREQ(buf, L"蓝色卷轴");
    ::GetPrivateProfileStringW(L"skin", L"homepage", L"", buf, 256, vsu.c_str());
    EXPECT_STREQ(buf, L"http://example.org/");
    EXPECT_EQ(::GetPrivateProfileIntW(L"Team", L"Width", -1, vsu.c_str()), 1234);
    EXPECT_EQ(static_cast<int>(::GetPrivateProfileIntW(L"UP_BUTTON", L"Left", -1, vsu.c_str())), -75);
    ::GetPrivateProfileStringW(L"UP_BUTTON", L"Left", L"", buf, 256, vsu.c_str());
    EXPECT_STREQ(buf, L"-75");
    EXPECT_EQ(::GetPrivateProfileIntW(L"ITEM", L"Width", -1, vsu.c_str()), 4);
    EXPECT_EQ(::GetPrivateProfileIntW(L"SKIN", L"Width", -1, vsu.c_str()), 4500);
    EXPECT_TRUE(std::filesystem::exists(tmp.Path() / L"蓝色卷轴" / L"image" / L"teamback.img"));
}

}  // namespace
}  // namespace vt
