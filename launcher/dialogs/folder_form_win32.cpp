// The folder picker: a list of the system's drives and a tree of the chosen
// drive's folders, opened at the remembered folder or the current one.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "launcher/dialogs/dialog_host_win32.h"
#include "launcher/dialogs/folder_form.h"
#include "launcher/dialogs/item_form_win32.h"
#include "launcher/dialogs/launcher_dialog_win32.h"
#include "platform/win32/ui_font.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

std::wstring WithSlash(std::wstring p) {
    if (!p.empty() && p.back() != L'\\') p.push_back(L'\\');
    return p;
}

// Subfolders of folder (sorted as the system lists them); nullopt when the
// folder cannot be read.
std::optional<std::vector<std::wstring>> ListFolders(const std::wstring& folder) {
    WIN32_FIND_DATAW fd{};
    HANDLE h = ::FindFirstFileExW((WithSlash(folder) + L"*").c_str(), FindExInfoBasic, &fd,
                                  FindExSearchLimitToDirectories, nullptr, 0);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<std::wstring> out;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (wcscmp(fd.cFileName, L".") == 0 || wcscmp(fd.cFileName, L"..") == 0) continue;
        out.emplace_back(fd.cFileName);
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    std::sort(out.begin(), out.end(), [](const std::wstring& a, const std::wstring& b) {
        return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    });
    return out;
}

// Parts of an absolute folder path: "C:\", then each folder name.
std::vector<std::wstring> SplitFolder(const std::wstring& path) {
    std::vector<std::wstring> parts;
    if (path.size() < 2 || path[1] != L':') return parts;
    parts.push_back(path.substr(0, 2) + L"\\");
    std::wstring cur;
    for (size_t i = 2; i < path.size(); ++i) {
        if (path[i] == L'\\' || path[i] == L'/') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(path[i]);
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

class FolderDialog : public LauncherDialog {
public:
    FolderDialog(DialogHost& main, ItemForm& target)
        : LauncherDialog(main), target_(target), form_(main.GetRegistry(), ItemEditorShared()) {}

    bool Run(HWND owner) {
        DialogTemplate t(Widen(kCaptionDirForm), 200, 200, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0,
                         UiFontFace(), 9);
        return RunModal(t, owner) == IDOK;
    }

private:
    void OnInit() override {
        StartPixelLayout();
        HWND drives = AddControl(L"COMBOBOX", folder_ids::kDrives, "", 10, 10, 280, 240,
                                 WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST);
        wchar_t buf[512] = {};
        DWORD n = ::GetLogicalDriveStringsW(511, buf);
        for (const wchar_t* p = buf; n && *p; p += wcslen(p) + 1) {
            std::wstring root(p);
            drives_.push_back(root);
            std::wstring shown = root.substr(0, 2);
            std::transform(shown.begin(), shown.end(), shown.begin(), ::towlower);
            ::SendMessageW(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
        }
        AddControl(WC_TREEVIEWW, folder_ids::kTree, "", 10, 40, 280, 260,
                   WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE);
        AddControl(L"BUTTON", IDOK, kCaptionOk, 132, 310, 76, 26, WS_TABSTOP | BS_DEFPUSHBUTTON);
        AddControl(L"BUTTON", IDCANCEL, kCaptionCancel, 214, 310, 76, 26, WS_TABSTOP | BS_PUSHBUTTON);
        const RECT r = FrameAround(S(300), S(346));
        RECT o{};
        ::GetWindowRect(::GetWindow(hwnd_, GW_OWNER), &o);
        ::SetWindowPos(hwnd_, nullptr, o.left + S(40), o.top + S(20), r.right - r.left, r.bottom - r.top, SWP_NOZORDER);

        // A remembered folder that cannot be shown (drive gone, folder
        // removed) falls back to the current folder without a word.
        bool shown = false;
        if (auto folder = form_.InitialFolder()) shown = ShowFolder(Widen(*folder));
        if (!shown) {
            wchar_t cur[MAX_PATH] = {};
            if (::GetCurrentDirectoryW(MAX_PATH, cur)) ShowFolder(cur);
        }
    }

    // Shows path in the tree with its parents expanded and selects it; false
    // (and nothing changed) when it cannot be read.
    bool ShowFolder(const std::wstring& path) {
        std::vector<std::wstring> parts = SplitFolder(path);
        if (parts.empty() || !ListFolders(parts[0])) return false;
        DWORD attr = ::GetFileAttributesW(path.c_str());
        if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY)) return false;
        HWND tree = Item(folder_ids::kTree);
        ::SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
        TreeView_DeleteAllItems(tree);
        paths_.clear();
        loaded_.clear();
        HTREEITEM node = Insert(TVI_ROOT, parts[0], parts[0]);
        std::wstring full = parts[0];
        for (size_t i = 1; i < parts.size() && node; ++i) {
            LoadChildren(node);
            full = WithSlash(full) + parts[i];
            HTREEITEM child = TreeView_GetChild(tree, node);
            for (; child; child = TreeView_GetNextSibling(tree, child)) {
                if (::CompareStringOrdinal(paths_[Param(child)].c_str(), -1, full.c_str(), -1, TRUE) == CSTR_EQUAL)
                    break;
            }
            if (!child) break;  // hidden from the listing: stop at the parent
            TreeView_Expand(tree, node, TVE_EXPAND);
            node = child;
        }
        LoadChildren(node);
        TreeView_Expand(tree, node, TVE_EXPAND);
        TreeView_SelectItem(tree, node);
        ::SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
        TreeView_EnsureVisible(tree, node);
        ::InvalidateRect(tree, nullptr, TRUE);
        SelectDrive(parts[0]);
        return true;
    }

    void SelectDrive(const std::wstring& root) {
        for (size_t i = 0; i < drives_.size(); ++i) {
            if (::CompareStringOrdinal(drives_[i].c_str(), 2, root.c_str(), 2, TRUE) == CSTR_EQUAL) {
                ::SendMessageW(Item(folder_ids::kDrives), CB_SETCURSEL, i, 0);
                currentDrive_ = static_cast<int>(i);
                return;
            }
        }
    }

    size_t Param(HTREEITEM item) const {
        TVITEMW it{};
        it.mask = TVIF_PARAM;
        it.hItem = item;
        TreeView_GetItem(Item(folder_ids::kTree), &it);
        return static_cast<size_t>(it.lParam);
    }

    HTREEITEM Insert(HTREEITEM parent, const std::wstring& text, const std::wstring& path) {
        paths_.push_back(path);
        loaded_.push_back(false);
        TVINSERTSTRUCTW ins{};
        ins.hParent = parent;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
        std::wstring copy = text;
        ins.item.pszText = copy.data();
        ins.item.lParam = static_cast<LPARAM>(paths_.size() - 1);
        ins.item.cChildren = 1;  // known once the folder is opened
        return TreeView_InsertItem(Item(folder_ids::kTree), &ins);
    }

    void LoadChildren(HTREEITEM node) {
        size_t p = Param(node);
        if (p >= loaded_.size() || loaded_[p]) return;
        loaded_[p] = true;
        std::wstring folder = paths_[p];
        auto subs = ListFolders(folder);
        if (subs) {
            for (const std::wstring& s : *subs)
                Insert(node, s, WithSlash(folder) + s);
        }
        if (!subs || subs->empty()) {
            TVITEMW it{};
            it.mask = TVIF_CHILDREN;
            it.hItem = node;
            it.cChildren = 0;
            TreeView_SetItem(Item(folder_ids::kTree), &it);
        }
    }

    void OnDriveChanged() {
        auto sel = static_cast<int>(::SendMessageW(Item(folder_ids::kDrives), CB_GETCURSEL, 0, 0));
        if (sel < 0 || sel >= static_cast<int>(drives_.size())) return;
        // The drive's current folder; its root when none was set.
        wchar_t full[MAX_PATH] = {};
        std::wstring drive = drives_[static_cast<size_t>(sel)].substr(0, 2);
        std::wstring at = drives_[static_cast<size_t>(sel)];
        if (::GetFullPathNameW(drive.c_str(), MAX_PATH, full, nullptr)) at = full;
        if (!ShowFolder(at) && !ShowFolder(drives_[static_cast<size_t>(sel)])) {
            // Unreadable drive: the tree keeps what it showed.
            ::SendMessageW(Item(folder_ids::kDrives), CB_SETCURSEL, static_cast<WPARAM>(currentDrive_), 0);
        }
    }

    bool OnOtherMessage(UINT msg, WPARAM, LPARAM lp, INT_PTR&) override {
        if (msg == WM_NOTIFY) {
            auto* nm = reinterpret_cast<NMHDR*>(lp);
            if (nm->idFrom == static_cast<UINT_PTR>(folder_ids::kTree) && nm->code == TVN_ITEMEXPANDINGW) {
                auto* tv = reinterpret_cast<NMTREEVIEWW*>(lp);
                if (tv->action & TVE_EXPAND) LoadChildren(tv->itemNew.hItem);
            }
        }
        return false;
    }

    bool OnCommand(WORD id, WORD code, HWND) override {
        if (id != folder_ids::kDrives) return false;
        if (code == CBN_SELCHANGE) OnDriveChanged();
        return true;
    }

    void OnOk() override {
        HTREEITEM sel = TreeView_GetSelection(Item(folder_ids::kTree));
        if (sel) {
            std::string folder = Narrow(paths_[Param(sel)]);
            form_.OnOk(folder, target_);
        }
        EndModal(sel ? IDOK : IDCANCEL);
    }

    ItemForm& target_;
    FolderForm form_;
    std::vector<std::wstring> drives_;
    int currentDrive_ = -1;
    std::vector<std::wstring> paths_;
    std::vector<bool> loaded_;
};

}  // namespace

bool RunFolderPicker(DialogHost& main, HWND owner, ItemForm& form) {
    FolderDialog dialog(main, form);
    return dialog.Run(owner);
}

}  // namespace vt
