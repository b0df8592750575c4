// How the item editor finds the icon it previews and saves. The rules here
// decide *what* to draw (a stock picture, icon n of a program file, a picture
// file, nothing); the Win32 view carries the decision out on the preview.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace vt {

// The icon field's stock tokens.
inline constexpr const char* kIconLink = "[LINK]";
inline constexpr const char* kIconFile = "[FILE]";
inline constexpr const char* kIconDirectory = "[DIRECTORY]";
inline constexpr const char* kIconExItem = "[EXITEM]";
inline constexpr const char* kIconRegistered = "[ICON]";

// Stock pictures of the skin, in the order the skin loads them.
enum class StockIcon { Link = 0, File = 1, Directory = 2, ExItem = 3 };

// What the preview shows.
struct IconPlan {
    enum class Kind {
        Empty,        // cleared preview
        Stock,        // one of the skin's stock pictures
        ExtractIcon,  // icon `index` of the program/library `file`
        PictureFile,  // the picture file `file` as it is
    };
    Kind kind = Kind::Empty;
    StockIcon stock = StockIcon::File;
    std::string file;
    int index = 0;

    bool operator==(const IconPlan&) const = default;
};

// The pixels the item panel shows an icon at: the size the preview draws a
// plan and the picture saved with the item.
inline constexpr int kItemIconPixels = 32;

// Whether a preview shown `pixels` wide is drawn again from the program file
// instead of enlarging the saved picture, as the main window draws icons that
// large: only icons of program files can be, and only when shown larger.
bool PreviewRedrawnFromFile(const IconPlan& plan, int pixels);

// The stock picture named by an icon text (any letter case), if it names one.
std::optional<StockIcon> StockIconOf(const std::string& iconText);
// True for "[ICON]" in any letter case.
bool IsRegisteredIconToken(const std::string& iconText);

// Plan for an icon text that is a file path: icons are extracted from ".dll",
// ".exe" and ".ocx" files, pictures loaded from ".bmp", ".ico", ".gif", ".jpg"
// and ".cur" files (case-insensitive); anything else previews as empty.
IconPlan PlanForIconFile(const std::string& path, int index);

// The extension (dot included) of the last path component, or nullopt when
// the name has no dot (a dot in a folder name does not count).
std::optional<std::string> ExtensionOf(const std::string& path);

// A "file,index" DefaultIcon value split up. nullopt when there is no comma
// after the last backslash (a bare file name carries no index). Surrounding
// quotes of the file part are removed.
struct IconLocation {
    std::string file;
    int index = 0;
};
std::optional<IconLocation> ParseDefaultIcon(const std::string& value);

// What the file associations under HKEY_CLASSES_ROOT say about the type of
// the file at path.
struct RegisteredIcon {
    std::string ext;                        // with its dot; empty when the path has none
    std::vector<std::string> verbs;         // shell verb names, enumeration order
    std::vector<std::string> verbCaptions;  // what the verb list shows for each verb
    std::optional<IconLocation> icon;       // nullopt: no registered icon
};
RegisteredIcon LookUpRegisteredIcon(Registry& reg, const std::string& path);

}  // namespace vt
