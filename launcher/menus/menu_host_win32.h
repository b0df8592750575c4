// What the menus ask of the window they belong to, beyond what its dialogs
// ask: showing, hiding and closing it, and the shell it launches through.
#pragma once

#include "launcher/dialogs/dialog_host_win32.h"

namespace vt {

class Shell;

class MenuHost : public DialogHost {
public:
    virtual void ShowMain() = 0;  // visible and undocked
    virtual void HideMain() = 0;
    virtual void Exit() = 0;  // close without asking; the unload step runs
    virtual Shell& GetShell() = 0;

protected:
    ~MenuHost() = default;
};

}  // namespace vt
