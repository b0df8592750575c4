// The program's version as a user meets it: the launcher's About box and the
// version resources of both programs (Explorer's Properties, installers).
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "launcher/menus/menu_ids.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

using namespace harness;

struct FileVersion {
    WORD fixed[4] = {};  // VS_FIXEDFILEINFO, most significant part first
    WORD fixedProduct[4] = {};
    std::wstring fileText, productText, productName;
};

// version.dll is loaded here rather than linked: nothing else in the tests needs it.
std::optional<FileVersion> ReadVersion(const fs::path& exe) {
    HMODULE dll = ::LoadLibraryW(L"version.dll");
    if (!dll) return std::nullopt;
    using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
    // Through void(*)(), the one cast between function types that says "any".
    auto get = [&](const char* name) { return reinterpret_cast<void (*)()>(::GetProcAddress(dll, name)); };
    auto size = reinterpret_cast<SizeFn>(get("GetFileVersionInfoSizeW"));
    auto info = reinterpret_cast<InfoFn>(get("GetFileVersionInfoW"));
    auto query = reinterpret_cast<QueryFn>(get("VerQueryValueW"));
    std::optional<FileVersion> out;
    DWORD ignored = 0;
    const DWORD bytes = size && info && query ? size(exe.c_str(), &ignored) : 0;
    std::vector<BYTE> block(bytes);
    if (bytes && info(exe.c_str(), 0, bytes, block.data())) {
        FileVersion v;
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT len = 0;
        if (query(block.data(), L"\\", reinterpret_cast<LPVOID*>(&fixed), &len) && fixed) {
            v.fixed[0] = HIWORD(fixed->dwFileVersionMS), v.fixed[1] = LOWORD(fixed->dwFileVersionMS);
            v.fixed[2] = HIWORD(fixed->dwFileVersionLS), v.fixed[3] = LOWORD(fixed->dwFileVersionLS);
            v.fixedProduct[0] = HIWORD(fixed->dwProductVersionMS),
            v.fixedProduct[1] = LOWORD(fixed->dwProductVersionMS);
            v.fixedProduct[2] = HIWORD(fixed->dwProductVersionLS),
            v.fixedProduct[3] = LOWORD(fixed->dwProductVersionLS);
        }
        auto text = [&](const wchar_t* name) {
            wchar_t* value = nullptr;
            UINT chars = 0;
            const std::wstring path = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
            if (query(block.data(), path.c_str(), reinterpret_cast<LPVOID*>(&value), &chars) && value)
                return std::wstring(value);
            return std::wstring();
        };
        v.fileText = text(L"FileVersion");
        v.productText = text(L"ProductVersion");
        v.productName = text(L"ProductName");
        out = v;
    }
    ::FreeLibrary(dll);
    return out;
}

// What the build was configured with (project() in CMakeLists.txt).
const std::wstring kBuildVersion =
    std::to_wstring(VT_VERSION_MAJOR) + L"." + std::to_wstring(VT_VERSION_MINOR) + L".0.0";

TEST(ProgramVersion, BothProgramsCarryTheProductVersion) {
    const fs::path dist = PathFromUtf8(VT_DIST_DIR);
    for (const wchar_t* exe : {L"VT.exe", L"VTSkinEditor.exe"}) {
        SCOPED_TRACE(Narrow(exe));
        auto v = ReadVersion(dist / exe);
        ASSERT_TRUE(v.has_value()) << "no version resource";
        EXPECT_EQ(v->productName, L"Vantrel");
        EXPECT_EQ(v->productText, kBuildVersion);
        EXPECT_EQ(v->fixedProduct[0], VT_VERSION_MAJOR);
        EXPECT_EQ(v->fixedProduct[1], VT_VERSION_MINOR);
    }
    // The launcher is the product; the editor keeps the version its own
    // About box shows ("程序版本:1.3").
    auto vt = ReadVersion(dist / "VT.exe");
    ASSERT_TRUE(vt.has_value());
    EXPECT_EQ(vt->fileText, kBuildVersion);
    EXPECT_EQ(vt->fixed[0], VT_VERSION_MAJOR);
    EXPECT_EQ(vt->fixed[1], VT_VERSION_MINOR);
    auto editor = ReadVersion(dist / "VTSkinEditor.exe");
    ASSERT_TRUE(editor.has_value());
    EXPECT_EQ(editor->fileText, L"1.3.0.0");
    EXPECT_EQ(editor->fixed[0], 1);
    EXPECT_EQ(editor->fixed[1], 3);
}

class ProgramVersionAbout : public LauncherTest {};

// The About box reads 1.40, the version the build gives the resources and the archive.
TEST_F(ProgramVersionAbout, AboutBoxShowsTheProgramVersion) {
    ASSERT_TRUE(launcher_.Start()) << "no main window";
    launcher_.Command(kMenuAbout);
    HWND about = launcher_.WaitForDialog(L"关于\"Vantrel\"");
    ASSERT_NE(about, nullptr) << "no About box";
    std::vector<std::wstring> texts;
    ::EnumChildWindows(
        about,
        [](HWND h, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<std::wstring>*>(lp)->push_back(Text(h));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"程序版本:1.40"), texts.end());
    PostButton(about, IDOK);
    EXPECT_TRUE(launcher_.WaitGone(about));
    EXPECT_TRUE(launcher_.Close());
}

}  // namespace
}  // namespace vt
