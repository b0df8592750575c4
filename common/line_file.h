// Line files (PATH.SET, PARA.SET, ICON.SET): one value per CR LF line,
// addressed by 1-based line numbers. Text is UTF-8 in memory, ANSI on disk.
#pragma once

#include <string>

namespace vt {

// Line n of file; empty for n <= 0, a missing file or a line past the end.
std::string ReadDataLine(const std::string& file, int n);
// Stores text at line n (n = 0 appends) and returns the line number holding it,
// 0 when text is empty, -1 when the file could not be written.
int WriteDataLine(const std::string& file, const std::string& text, int n);

}  // namespace vt
