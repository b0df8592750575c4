// Shell on Win32: ShellExecuteW, the recycle bin, the clipboard.
#pragma once

#include <windows.h>

#include "platform/shell.h"

namespace vt {

class ShellWin32 : public Shell {
public:
    explicit ShellWin32(HWND owner = nullptr) : owner_(owner) {}
    void SetOwner(HWND owner) { owner_ = owner; }

    bool Execute(const std::string& verb, const std::string& file, const std::string& params, const std::string& dir,
                 ShowCmd show) override;
    bool EmptyRecycleBin() override;
    bool SetClipboardText(const std::string& text) override;

private:
    HWND owner_;
};

}  // namespace vt
