// Scrambling of protected texts (team folder names, item paths, parameters
// and icon sources) with a password as key. The password itself is never
// stored: a wrong key simply yields a wrong text.
#pragma once

#include <string>

namespace vt {

// Stored form of text scrambled with key: an optional leading "|" when the
// text has an odd number of characters, the final key position, then one
// number per character in reverse order, each followed by "|". Works on the
// ANSI character codes of both strings (text and key are UTF-8). An empty key
// or an empty text returns text unchanged. Codes that do not fit 16 bits are written with their
// true value; DecodePassword reads any decimal number.
std::string EncodePassword(const std::string& text, const std::string& key);

// Inverse of EncodePassword. An empty key returns stored unchanged; a stored
// text without any "|" decodes to the empty text. Garbage (non-numbers, huge
// numbers, key positions out of range) never fails: it decodes to some text.
std::string DecodePassword(const std::string& stored, const std::string& key);

// Prompts of the "密码确认" box, one per action on a protected team or item.
inline constexpr const char* kPromptOpenTeam = "你想打开的类别带有密码,请输入启动密码!";
inline constexpr const char* kPromptLaunchItem = "你想启动的项目带有密码,请输入启动密码!";
inline constexpr const char* kPromptEditTeam = "你想编辑的类别带有密码,请输入密码!";
inline constexpr const char* kPromptEditItem = "你想编辑的项目带有密码,请输入密码!";
inline constexpr const char* kPromptDeleteTeam = "你想删除的类别带有密码,请输入密码!";
inline constexpr const char* kPromptDeleteItem = "你想删除的项目带有密码,请输入密码!";
inline constexpr const char* kPromptCopyPath = "你想复制路径的项目带有密码,请输入密码!";
inline constexpr const char* kPromptItemDir = "你想打开所在文件夹的项目带有密码,请输入密码!";

}  // namespace vt
