// The program's log: one line per problem that the program survives, written
// to the debugger output (DebugView on Windows; Wine's +debugstr channel).
#pragma once

#include <string>

namespace vt {

// Writes "Vantrel: <text>" as one line.
void LogLine(const std::wstring& text);

// Also hands every line to listener (null for none); for tests that check
// what was logged.
using LogListener = void (*)(const std::wstring& line);
void SetLogListener(LogListener listener);

}  // namespace vt
