// What the team editor, the settings dialog and the skin chooser share beyond
// LauncherDialog: their window style, pages, the number-box arrows, and the
// per-dialog hooks the family's PreTranslate/Close entry points call.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <utility>
#include <vector>

#include "launcher/dialogs/launcher_dialog_win32.h"

namespace vt {

// Window style of the family's dialogs.
inline constexpr DWORD kTeamDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;

// A dialog of pages chosen by a row of push-like option buttons at its top;
// it knows which control of its template sits on which page.
class PagedDialog : public LauncherDialog {
protected:
    PagedDialog(DialogHost& main, WORD firstPageButton, int pageCount)
        : LauncherDialog(main), firstButton_(firstPageButton), pageCount_(pageCount) {}

    // The row of page buttons, the first control of the template.
    void AddPageButtons(DialogTemplate& t, std::span<const char* const> captions);
    // A control on page, or on none (always shown) for -1.
    void AddOnPage(DialogTemplate& t, int page, WORD cls, WORD id, const std::string& text, int x, int y, int w, int h,
                   DWORD style);
    // Asks the form for page; the page it settles on is shown.
    void ShowPage(int page);
    // A page button's command: the page shown, the focus on Cancel. False
    // for any other control.
    bool OnPageButton(WORD id, WORD code);

    // The form's page step: takes the page asked for, answers the page to show.
    virtual int TurnToPage(int page) = 0;

private:
    WORD firstButton_;
    int pageCount_;
    std::vector<std::pair<WORD, int>> pageOf_;
};

// The small vertical arrow pair beside a number box: the step a scroll
// notification asks for (up raises the value), 0 for a drag or an end.
int ArrowStep(WORD scrollCode);
// Gives such an arrow pair a range with room on both sides, so neither arrow
// is ever greyed: the value lives in the box, not in the bar.
void PrepareArrows(HWND scrollBar);

bool PreTranslateSettingsDialog(MSG& msg);
void CloseSettingsDialog();
bool PreTranslateSkinChooser(MSG& msg);
void CloseSkinChooser();

}  // namespace vt
