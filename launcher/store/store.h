// Teams and items on disk. Everything lives under AppDir + "DATA": the team
// list "TEAM.SET", one folder per team (10 random characters) holding
// "ITEM.SET", the line files "PATH.SET", "PARA.SET", "ICON.SET" and the items'
// own ".img" pictures, and shared pictures in "DATA/ICON". Nothing is cached
// here: every call reads or writes the files afresh.
//
// appDir always ends with a path separator. A team folder path never does.
// All texts are UTF-8.
#pragma once

#include <optional>
#include <string>

#include "platform/prompts.h"

namespace vt {

inline constexpr int kMaxTeams = 500;
inline constexpr int kMaxItems = 500;
inline constexpr const char* kDefaultItemName = "未命名项目";

inline constexpr const char* kMsgTeamsOverLimit = "类别数据超出限制!只能显示前500个类别";
inline constexpr const char* kMsgTeamsDamaged = "类别数据被手工修改!无法显示类别";
inline constexpr const char* kMsgItemsOverLimit = "项目数据超出限制!只能显示前500个项目";
inline constexpr const char* kMsgItemsDamaged = "项目数据被手工修改!无法显示项目";

// ---- Paths ---------------------------------------------------------------

// appDir + "DATA" + separator.
std::string DataDir(const std::string& appDir);
// appDir + "DATA/TEAM.SET".
std::string TeamSetFile(const std::string& appDir);
// appDir + "DATA/ICON" + separator: shared pictures.
std::string SharedIconDir(const std::string& appDir);
// appDir + "DATA/" + folderName, or empty when folderName cannot be a team
// folder name (see IsTeamFolderName), so a badly decoded name never points at
// DATA itself, the shared pictures, a device or anything outside DATA.
std::string TeamFolderPath(const std::string& appDir, const std::string& folderName);
// One plain name of a file or folder: not empty, not "." / "..", no separator,
// ':', wildcard or control character, no trailing dot or blank (Windows drops
// them and the name would alias another), and no device name.
bool IsSafeFolderName(const std::string& folderName);
// A Windows device name (CON, PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$),
// with or without an extension and in any case: opening "DATA\ICON\con.img"
// reaches the console, not a file.
bool IsDeviceName(const std::string& name);
// A name that may be a team's folder under DATA: safe and not "ICON", the
// folder of the shared pictures.
bool IsTeamFolderName(const std::string& folderName);
// A picture file an item may own or share: a safe name ending in ".img" (any
// case) with something before it. The store's own files (TEAM.SET, ITEM.SET,
// PATH.SET, PARA.SET, ICON.SET) never qualify.
bool IsPictureFileName(const std::string& fileName);
// The file an item's "Icon" value names ("\NAME.img" -> "NAME.img"), or empty
// for tokens, empty values and anything that is not a picture file name as
// above (another separator, a store file, a device).
std::string ItemPictureFile(const std::string& icon);
// teamFolder + separator + "ITEM.SET" / "PATH.SET" / "PARA.SET" / "ICON.SET".
std::string ItemSetFile(const std::string& teamFolder);
std::string PathSetFile(const std::string& teamFolder);
std::string ParaSetFile(const std::string& teamFolder);
std::string IconSetFile(const std::string& teamFolder);
// The picture file an item's "Icon" value ("\NAME.img") names: the team
// folder's copy when it exists, else the shared one in DATA/ICON, else empty.
// Tokens ("[LINK]", "[FILE]", ...) and empty values give empty.
std::string ResolveItemPicture(const std::string& appDir, const std::string& teamFolder, const std::string& icon);

// ---- Records -------------------------------------------------------------

struct TeamRecord {
    std::string Name;
    std::string Note;
    std::string Path;       // folder name, scrambled with the team password when Password
    bool Password = false;  // "Password" == "True"
};

struct ItemRecord {
    std::string Name = kDefaultItemName;
    int Type = 0;  // 0 program, 1 DLL function, 2 link, 3 folder, 4 file, 5 extended
    int Mode = 0;  // 0 normal, 1 maximised, 2 minimised, 3 hidden
    std::string Note;
    int Path = 0;  // 1-based line in PATH.SET, 0 = none
    int Para = 0;  // 1-based line in PARA.SET, 0 = none
    int IconIndex = 0;
    int IconPath = 0;         // 1-based line in ICON.SET, 0 = none
    std::string Icon;         // token or "\NAME.img"
    std::string StartMethod;  // empty = "open"
    int MethodIndex = -1;     // -1 = none chosen
    bool Password = false;
};

// The decoded texts of one item's lines.
struct ItemTexts {
    std::string Path;
    std::string Para;
    std::string Icon;  // icon source: a file path or a token
};

// Team count with its limits: above 500 (or beyond 16 bits) gives 500 and
// kMsgTeamsOverLimit, below 0 gives 0 and kMsgTeamsDamaged; messages only
// when warnOnError. A missing file is 0 without a message.
int ReadTeamCount(const std::string& appDir, Prompts& prompts, bool warnOnError);
// Same for a team folder's ITEM.SET with the item messages. An empty
// teamFolder reads as 0.
int ReadItemCount(const std::string& teamFolder, Prompts& prompts, bool warnOnError);

TeamRecord ReadTeamRecord(const std::string& appDir, int index);
ItemRecord ReadItemRecord(const std::string& teamFolder, int index);
// Reads the item's three lines and decodes them with password (ignored for
// an item whose "Password" is not "True": its lines are plain).
ItemTexts ReadItemTexts(const std::string& teamFolder, const ItemRecord& item, const std::string& password);

// AppDir + "DATA/" + DecodePassword(team "Path", password), the password
// ignored for an unprotected team. Empty when the
// decoded name is not a usable folder name (see TeamFolderPath). A wrong
// password gives a folder that does not exist.
std::string ResolveTeamFolder(const std::string& appDir, int index, const std::string& password);
// Asks for the password with prompt when the team's "Password" is "True",
// then resolves as above.
std::string AskTeamFolder(const std::string& appDir, int index, Prompts& prompts, const std::string& prompt);

// ---- Writes --------------------------------------------------------------

enum class StoreError {
    None,
    WriteFailed,    // a file or folder could not be written (see each operation for what stays)
    FolderMissing,  // the team folder does not exist (wrong password or hand-made damage)
    BadIndex,       // index outside the stored records
    LimitReached,   // 500 teams or items are stored already: a new one could never be shown
};

struct [[nodiscard]] StoreResult {
    StoreError error = StoreError::None;
    int index = -1;    // section written (add: the new index)
    std::string name;  // AddTeam: the new folder name; AddItem/EditItem: the "Icon" value written
    // DeleteTeam: the record went, but its "Path" named no folder of its own
    // ("ICON", a device, another team's folder), so no file was touched.
    bool foreignFolder = false;
    bool ok() const { return error == StoreError::None; }
    explicit operator bool() const { return ok(); }
};

struct TeamInput {
    std::string Name;
    std::string Note;
    std::string Password;  // typed text; empty = no password
};

// Count = index + 1 first, then a fresh folder, then "Path", "Name", "Note",
// "Password" in section index. A negative stored count counts as 0, so the
// new team follows the last one shown. Refused with LimitReached, nothing
// written, when the count is at or beyond the 500 shown (a count beyond 16
// bits reads as 500).
StoreResult AddTeam(const std::string& appDir, const TeamInput& team);
// Rewrites the four keys of section index, scrambling folderName (the name
// decoded when the editor opened) with the new password. Refused with
// FolderMissing when folderName is not an existing team folder, so a wrong
// password at opening can never orphan the team's folder.
StoreResult EditTeam(const std::string& appDir, int index, const std::string& folderName, const TeamInput& team);
// Deletes the files of the folder decoded with password and the folder
// (nothing when it does not exist or is not a safe name), shifts the four keys
// of the later teams down and writes Count - 1. All stored teams are shifted,
// also those past the 500 shown; the shift reaches TEAM.SET whole or not at
// all. A folder that is not the team's own (see IsOwnTeamFolder) keeps its
// files: the record goes and the result says foreignFolder.
StoreResult DeleteTeam(const std::string& appDir, int index, const std::string& password);
// Whether folderName (decoded from team index's "Path") may be treated as
// that team's own: a team folder name (IsTeamFolderName) that no other team
// of the stored count names too. Other teams are compared by their plain
// "Path", and a protected one also by its "Path" decoded with password (the
// same password gives the same scrambling); other passwords cannot be known.
bool IsOwnTeamFolder(const std::string& appDir, int index, const std::string& folderName, const std::string& password);
// Exchanges the four keys of two sections (same index: no change).
StoreResult SwapTeams(const std::string& appDir, int first, int second);

struct ItemInput {
    std::string Name;
    int Type = 0;
    int Mode = 0;
    std::string Note;
    std::string Path;  // plain texts; scrambled here with Password
    std::string Para;
    std::string IconText;  // icon source path or token: "[LINK]", "[FILE]", "[DIRECTORY]", "[EXITEM]", "[ICON]"
    int IconIndex = 0;
    // Written only when a verb was chosen; otherwise the stored keys stay.
    std::optional<std::string> StartMethod;
    int MethodIndex = -1;
    std::string Password;  // typed text; empty = no password
    // Picture file bytes for IconText not starting with "[" (own picture in
    // the team folder) and for "[ICON]" (shared picture). Without bytes no
    // picture file is written but "Icon" still gets its name.
    std::optional<std::string> Picture;
    // "[ICON]": the shared picture's name (the extension without its dot).
    std::string SharedIconName;
};

// Adds an item at index Count (Count = index + 1 first) or rewrites item index,
// in the order: Name, Type, Mode, Note, Path, Para, IconIndex, IconPath,
// StartMethod/MethodIndex, Password, Icon. Line files are replaced in place
// when editing; an empty text stores line 0 and the old line stays. A stored
// line number past the end of its file is a missing line: the text goes on a
// new line at the end, nothing is padded.
// The line files and the picture are written first and ITEM.SET last, in one
// replacement. When anything fails (or runs out of memory) ITEM.SET stays as
// it was and lines replaced in place get their old text back, so the item is
// saved whole or not at all (appended lines stay, unreferenced).
// AddItem is refused with LimitReached as AddTeam is.
StoreResult AddItem(const std::string& appDir, const std::string& teamFolder, const ItemInput& item);
StoreResult EditItem(const std::string& appDir, const std::string& teamFolder, int index, const ItemInput& item);
// Shifts the twelve keys of the later items down and writes Count - 1 (a key
// missing in the next section is removed, not left behind). Lines and pictures
// stay. Failures stop the shift as for DeleteTeam.
StoreResult DeleteItem(const std::string& teamFolder, int index);
// Exchanges two items of one folder (all twelve keys).
StoreResult SwapItems(const std::string& teamFolder, int first, int second);
// Exchanges an item of firstFolder with one of secondFolder: their lines are
// appended to the other folder's line files and their own pictures move to the
// other folder (renamed when the name is taken there); the other keys are
// exchanged. Same folder: as SwapItems.
StoreResult SwapItems(const std::string& firstFolder, int firstIndex, const std::string& secondFolder, int secondIndex);

}  // namespace vt
