// What the launcher's dialogs ask of the window they serve. The main window
// answers; the dialogs know only this, so they sit below the main window and
// never include it.
#pragma once

#include <windows.h>

#include <string>

namespace vt {

class MainModel;
class PicturesWin32;
class Prompts;
class Registry;
struct Settings;

class DialogHost {
public:
    // Owner of the dialogs, and where they find the program's instance.
    virtual HWND Hwnd() const = 0;
    virtual MainModel& Model() = 0;
    virtual Settings& GetSettings() = 0;
    virtual Registry& GetRegistry() = 0;
    virtual Prompts& GetPrompts() = 0;
    // The skin's pictures as the main window draws them (the item editor's preview).
    virtual PicturesWin32& GetPictures() = 0;

    // Repaint after the model changed outside a mouse event.
    virtual void Refresh() = 0;
    // The settings dialog saved: the window takes the new values.
    virtual void ReapplySettings() = 0;
    // Hides the window, applies the skin folder (full path, no trailing separator), shows it again.
    virtual void ChangeSkin(const std::string& skinFolder) = 0;
    // Window opacity, 0..255, with the colour key kept.
    virtual void SetOpacity(int alpha) = 0;

protected:
    ~DialogHost() = default;
};

}  // namespace vt
