// The launcher's main window without a window: the scene, the skin state,
// the current team and item, the team bar and item panel rules, and the
// mouse handlers the Win32 shell calls with the element under the pointer.
// The shell paints Scene() after every call and carries out the requests
// made through MainWindowActions.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "launcher/mainwindow/find_index.h"
#include "launcher/mainwindow/keyboard_nav.h"
#include "launcher/mainwindow/name_roll.h"
#include "launcher/mainwindow/scrolling.h"
#include "launcher/scene/scene.h"
#include "launcher/settings/settings.h"
#include "launcher/skin/apply_skin.h"
#include "platform/pictures.h"
#include "platform/prompts.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/text_measure.h"

namespace vt {

struct ItemRecord;

inline constexpr const char* kTitlePrefix = "Vantrel - ";
inline constexpr const char* kMsgTeamPicked = "准备调整类别";  // + name + kMsgOrderSuffix
inline constexpr const char* kMsgItemPicked = "准备调整项目";
inline constexpr const char* kMsgOrderSuffix = "的顺序";
inline constexpr const char* kMsgTeamSwapped = "类别";  // + name + kMsgSwappedSuffix
inline constexpr const char* kMsgItemSwapped = "项目";
inline constexpr const char* kMsgSwappedSuffix = "的顺序已经调换";
// A swap whose writes failed (read-only or vanished data folder).
inline constexpr const char* kMsgSwapFailed = "调换顺序失败,数据无法写入";

// Team bar geometry: caption width, pitch and first left.
inline constexpr int kTeamCaptionWidth = 1000;
inline constexpr int kTeamCaptionPitch = 1020;
inline constexpr int kTeamFirstLeft = 20;

enum class MouseButton { Left, Right, Middle };

// Button state with a mouse event: which buttons are down.
struct MouseButtons {
    bool left = false;
    bool right = false;
    bool middle = false;
    bool Any() const { return left || right || middle; }
};

// Requests the core makes of the window. Unset ones are ignored.
struct MainWindowActions {
    // Start item `index` of `teamFolder` (the integrator wires this to LaunchItem).
    std::function<void(const std::string& teamFolder, int index)> launchItem;
    // Pop up a menu of the menu holder at the pointer: "QuickTeam", "QuickItem",
    // "QuickTeam2", "QuickItem2"; or the main menu i ("Menu0".."Menu3") at
    // (xTwips, yTwips) in window coordinates.
    std::function<void(const std::string& menu, std::optional<std::pair<int, int>> atTwips)> popupMenu;
    // Show the window as it is now, before a right click's menu opens over it.
    std::function<void()> repaintNow;
    // Team commands (edit/delete team, add item) and item commands of the main menu.
    std::function<void(bool teamCommands, bool itemCommands)> setCommandsEnabled;
    std::function<void()> hideWindow;
    std::function<void()> closeWindow;
    std::function<void(bool topmost)> setTopmost;
    // Move the window by this many twips (title drag).
    std::function<void(int dxTwips, int dyTwips)> moveWindowBy;
};

struct MainModelServices {
    Registry& registry;
    Prompts& prompts;
    TextMeasure& measure;
    Pictures& pictures;
    Shell& shell;
};

class MainModel : private RollLabels {
public:
    // settings: the options as ApplySettings left them (AppDir included); read
    // on every event, so a later ApplySettings takes effect at once.
    MainModel(MainModelServices services, const Settings& settings);

    Scene& GetScene() { return scene_; }
    const Scene& GetScene() const { return scene_; }
    const SkinState& Skin() const { return skin_; }
    MainWindowActions actions;
    NameRoller& Roller() { return roller_; }
    ScrollChrome& Chrome() { return chrome_; }

    // ---- State shared with the rest of the launcher ----
    int CurrentTeam = -1;
    int CurrentItem = -1;
    std::string TeamFolder;
    int HoverTeam = -1;
    // 0 none, 1 swap chosen and nothing picked, 2 a team picked, 3 an item picked.
    int ReorderState = 0;
    int ReorderFirst = -1;

    // ---- Rebuilds ----
    // Lays out the window from a skin folder (no trailing separator), reports
    // what is wrong with the skin, then rebuilds the team bar and item panel.
    void ApplySkin(const std::string& skinFolder);
    void ShowTeams();
    void ShowItems(int team);

    // ---- Input: the shell hit-tests and calls these ----
    void OnMouseMove(ElementId id, int xTwips, int yTwips, MouseButtons buttons);
    void OnMouseDown(ElementId id, MouseButton button, int xTwips, int yTwips);
    void OnMouseUp(ElementId id, MouseButton button, int xTwips, int yTwips);
    // A left press and release on the same element.
    void OnClick(ElementId id);
    void OnDoubleClick(ElementId id);
    // The pointer left the window.
    void OnMouseLeave();
    // Timer ticks the shell runs while the matching state says so.
    void OnNameRollTick(RollKind kind);  // TmrRollText, while Roller().Running(kind)
    void OnTeamRollTick();               // TmrRollTeam, while Chrome().TeamRollRunning()
    void OnItemRollTick();               // TmrRollItem, while Chrome().ItemRollRunning()

    // ---- The pieces the handlers are made of (menu commands use them too) ----
    void TeamClick(int index);
    void TeamMouseDown(int index, MouseButton button);
    void TeamMouseMove(int index);
    void ItemClick(int index);
    void ItemDoubleClick(int index);
    void ItemMouseDown(int index, MouseButton button);
    void EmptySheetClick();
    void ResetHover();

    // ---- Keys (keyboard.cpp) ----
    // Arrows, Home/End and the page keys: the current item moves (without
    // launching, even where one click launches) and the sheet scrolls to show it.
    void OnNavKey(NavKey key);
    // Ctrl+Tab and its kin: the next or previous team, as a click on its caption.
    void SwitchTeam(bool forward);
    // Enter: the current item starts, as a double click starts it.
    void LaunchCurrent();
    // The menu key: the item's menu at the item, or the panel's menu at the panel's corner.
    void ItemMenuFromKeyboard();
    // Makes an item current without launching it and scrolls it into view.
    void SelectItem(int index);

    // ---- Find as you type (find_panel.cpp) ----
    // The find line over the item panel lists the matching items of every
    // team without a password; the team shown before comes back when it closes.
    bool Finding() const { return finding_; }
    const std::string& FindText() const { return findText_; }
    void OpenFind();                         // Ctrl+F: an empty line, the panel as it was
    void FindType(const std::string& text);  // typed or composed text, appended (opens the line)
    void FindBackspace();                    // the last character goes; an emptied line closes
    void CloseFind();                        // Esc
    int FoundCount() const { return static_cast<int>(found_.size()); }
    int FoundSelected() const { return foundSelected_; }
    // Enter: the selected result starts, as a click on it in its own team would start it.
    void LaunchFound();
    // An item of teamFolder was started (for the ranking of later results).
    void NoteLaunched(const std::string& teamFolder, int item, int64_t when);
    // A team's items changed through the program (-1: the team list itself).
    void TeamContentChanged(int team);
    // The line's first opening starts reading the store a slice at a time;
    // the shell ticks OnFindLoadTick between messages while FindLoading(),
    // and the results shown follow the teams as they come in.
    bool FindLoading() const { return findIndex_ && findIndex_->Loading(); }
    void OnFindLoadTick();
    int TeamCount() const { return teamCount_; }
    int ItemCount() const { return itemCount_; }

private:
    // RollLabels over the scene's captions.
    int LabelCount(RollKind kind) const override;
    bool IsLeftAligned(RollKind kind, int index) const override;
    std::string Caption(RollKind kind, int index) const override;
    void SetCaption(RollKind kind, int index, const std::string& text, int widthTwips) override;

    void PaintTeam(int index, int colourSet);  // 0 normal, 1 hover, 2 current
    void PaintItem(int index, bool selected);
    void LayOutIconsWithCaptions(int count);
    void LayOutIconsOnly(int count);
    void LayOutTextList(int count);
    void SetItemIcons(int count);
    void SetIconPicture(Element& icon, const std::string& teamFolder, const ItemRecord& item,
                        const std::vector<std::string>* iconLines = nullptr);
    // The panel's items of TeamFolder in the chosen layout (ShowItems once the folder is known).
    void LayOutItems();
    void CommandsEnabled(bool team, bool item);
    void PaintMenus(int highlighted, int colour);
    void LeaveOtherHovers(ElementId under);
    void ApplyButtonPictures();
    void ApplyStrips(const StripGeometry& g);
    StripGeometry Strips() const;
    // The band of the sheet an item covers (icon and caption), sheet twips.
    std::pair<int, int> ItemBand(int index) const;
    NavGrid Grid() const;
    void HideFindLine();
    // keepSelection: the same result stays selected when it is still listed
    // (the list grew while the store was read), else the best one is.
    void ShowFound(bool keepSelection = false);
    void SelectFound(int row);
    int FindLineHeight() const;
    void FindClick(int row, bool doubleClick);

    MainModelServices services_;
    const Settings& settings_;
    Scene scene_;
    SkinState skin_;
    NameRoller roller_;
    ScrollChrome chrome_;
    int teamCount_ = 0;
    int itemCount_ = 0;
    std::string reorderFirstName_;    // name of the first pick
    std::string reorderFirstFolder_;  // team folder of the first item pick
    int titleGrabX_ = 0;              // window twips where the title was grabbed
    int titleGrabY_ = 0;

    bool finding_ = false;
    std::string findText_;
    std::unique_ptr<FindIndex> findIndex_;  // from the first key on
    IncrementalSearch search_;
    std::vector<SearchHit> found_;  // the rows shown
    int foundSelected_ = -1;
    int foundRowPitch_ = 0;
    std::chrono::steady_clock::time_point foundShownAt_;
    int savedItem_ = -1;  // the panel as it was before the line opened
    int savedScroll_ = 0;
};

}  // namespace vt
