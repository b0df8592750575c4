// Prompts on Win32: the warning OK/Cancel box, the "密码确认" box, and the
// message popup (handed in by the program, which owns the popup window).
#pragma once

#include <windows.h>

#include <functional>

#include "platform/prompts.h"

namespace vt {

class PromptsWin32 : public Prompts {
public:
    using MessageSink = std::function<void(const std::string&)>;
    PromptsWin32(HINSTANCE instance, MessageSink showMessage) : instance_(instance), sink_(std::move(showMessage)) {}

    // Window the modal boxes belong to (the main window once it exists).
    void SetOwner(HWND owner) { owner_ = owner; }

    bool Confirm(const std::string& text, const std::string& caption) override;
    std::string AskPassword(const std::string& prompt) override;
    void ShowMessage(const std::string& text) override;

private:
    HINSTANCE instance_;
    MessageSink sink_;
    HWND owner_ = nullptr;
};

// The password box on its own; empty text on Cancel.
std::string AskPasswordBox(HINSTANCE instance, HWND owner, const std::string& prompt);

}  // namespace vt
