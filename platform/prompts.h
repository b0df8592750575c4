// User-facing questions and the message popup.
#pragma once

#include <string>

namespace vt {

class Prompts {
public:
    virtual ~Prompts() = default;
    // Modal OK/Cancel box with the warning icon; true for OK.
    virtual bool Confirm(const std::string& text, const std::string& caption) = 0;
    // The "密码确认" input box; empty text on Cancel.
    virtual std::string AskPassword(const std::string& prompt) = 0;
    // Shows one text in the sliding message popup.
    virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace vt
