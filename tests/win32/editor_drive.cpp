#include "tests/win32/editor_drive.h"

#include <shlobj.h>

namespace vt::harness {

void SetText(HWND h, const std::wstring& text) {
    DWORD_PTR r = 0;
    ::SendMessageTimeoutW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &r);
}

// The common file dialog of the editor: types the full path into its file
// name box and presses the OK button (打开 or 保存).
bool DriveFileDialog(const ChildProcess& ed, const std::wstring& path) {
    HWND dlg = ed.WaitForWindow(L"#32770", nullptr, kEditorDialogMs);
    if (!dlg) return false;
    HWND name = nullptr;
    // Explorer-style dialogs name the box cmb13 (a combo box) or edt1.
    WaitFor(ed.Handle(), kEditorDialogMs,
            [&] { return (name = FindControl(dlg, 0x47c)) || (name = FindControl(dlg, 0x480)); });
    if (!name) return false;
    SetText(name, path);
    ::PostMessageW(::GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
    return WaitFor(ed.Handle(), kEditorDialogMs, [&] { return !::IsWindow(dlg); });
}

// The shell's folder browser: it is told the folder the way its owner would
// tell it (BFFM_SETSELECTION, with the path placed in the editor's memory),
// one level at a time from the drive down, as a user opens the tree; Wine's
// browser does not always find a deep folder in one step. Then OK is pressed.
// Empty when done, else what went wrong.
std::string DriveFolderDialog(const ChildProcess& ed, const fs::path& folder) {
    HWND dlg = ed.WaitForWindow(L"#32770", nullptr, kEditorDialogMs);
    if (!dlg) return "no folder dialog";
    const std::wstring full = folder.wstring();
    const SIZE_T bytes = (full.size() + 1) * sizeof(wchar_t);
    void* remote = ::VirtualAllocEx(ed.Handle(), nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote) return "no memory in the editor";
    std::string error;
    // The browser names the selected folder in its edit box.
    HWND edit = ::FindWindowExW(dlg, nullptr, L"Edit", nullptr);
    if (!edit) error = "the folder dialog has no edit box";
    auto select = [&](const fs::path& p) {
        const std::wstring text = p.wstring();
        DWORD_PTR r = 0;
        return ::WriteProcessMemory(ed.Handle(), remote, text.c_str(), (text.size() + 1) * sizeof(wchar_t), nullptr) &&
               ::SendMessageTimeoutW(dlg, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG,
                                     5000, &r);
    };
    auto shows = [&] { return Text(edit) == folder.filename().wstring(); };
    // Wine's browser does not always reach a deep folder in one step: the
    // folder is asked for directly, then again after each of its ancestors
    // from the drive down has been opened, as a user clicks down the tree.
    bool ok = edit && select(folder) && shows();
    fs::path step;
    for (auto part = folder.begin(); edit && !ok && part != folder.end(); ++part) {
        step /= *part;
        if (step == folder.root_name()) continue;  // "C:" alone is the drive's current folder
        ok = select(step) && select(folder) && shows();
    }
    if (edit && !ok) error = "could not select the folder, the browser shows " + Narrow(Text(edit));
    if (ok)
        ::PostMessageW(::GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
    else
        ::PostMessageW(::GetDlgItem(dlg, IDCANCEL), BM_CLICK, 0, 0);
    WaitFor(ed.Handle(), kEditorDialogMs, [&] { return !::IsWindow(dlg); });
    ::VirtualFreeEx(ed.Handle(), remote, 0, MEM_RELEASE);
    if (ok && ::IsWindow(dlg)) error = "the folder dialog did not close";
    return error;
}

// Captions and texts of the dialogs the editor shows, for failure messages.
std::wstring DescribeDialogs(DWORD pid) {
    struct Ctx {
        DWORD pid;
        std::wstring out;
    } ctx{pid, {}};
    ::EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(h, &owner);
            wchar_t name[64] = {};
            ::GetClassNameW(h, name, 64);
            if (owner != c->pid || wcscmp(name, L"#32770") != 0 || !::IsWindowVisible(h)) return TRUE;
            c->out += L"[dialog \"" + Text(h) + L"\":";
            ::EnumChildWindows(
                h,
                [](HWND k, LPARAM lp2) -> BOOL {
                    const std::wstring t = Text(k);
                    if (!t.empty()) *reinterpret_cast<std::wstring*>(lp2) += L" \"" + t + L"\"";
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&c->out));
            c->out += L"]";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.out.empty() ? L"(no dialog open)" : ctx.out;
}

HWND WaitForMessageBox(const ChildProcess& ed, const wchar_t* caption) {
    return ed.WaitForWindow(L"#32770", caption, kEditorDialogMs);
}

std::wstring MessageBoxText(HWND box) {
    HWND text = FindControl(box, 0xFFFF);  // the static a message box shows its text in
    return text ? Text(text) : L"";
}

bool CloseEditorDiscarding(const ChildProcess& ed, HWND main) {
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    HWND ask = nullptr;
    WaitFor(ed.Handle(), kEditorDialogMs,
            [&] { return ed.Exited() || (ask = FindProcessWindow(ed.Id(), L"#32770", L"保存提示")) != nullptr; });
    if (ask) PostButton(ask, IDNO);
    return ed.WaitExit(kEditorDialogMs);
}

}  // namespace vt::harness
