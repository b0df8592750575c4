// What the core asks of the Windows shell. The core decides what to run; the
// shell adapter only carries it out.
#pragma once

#include <string>

namespace vt {

// ShowWindow commands the core hands to Execute.
enum class ShowCmd { Normal = 1, Minimized = 2, Maximized = 3, Hidden = 0 };

class Shell {
public:
    virtual ~Shell() = default;
    // ShellExecute; true when the system accepted it (result > 32).
    virtual bool Execute(const std::string& verb, const std::string& file, const std::string& params,
                         const std::string& dir, ShowCmd show) = 0;
    virtual bool EmptyRecycleBin() = 0;
    virtual bool SetClipboardText(const std::string& text) = 0;
};

}  // namespace vt
