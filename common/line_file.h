// Line files (PATH.SET, PARA.SET, ICON.SET): one value per CR LF line,
// addressed by 1-based line numbers. Text is UTF-8 in memory, ANSI on disk.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vt {

// WriteDataLine results besides a line number.
inline constexpr int kLineWriteFailed = -1;  // the file could not be read or written; it is unchanged
inline constexpr int kLineBeyondEnd = -2;    // line n is past the end: nothing written, see below

// Line n of file; empty for n <= 0, a missing file, an unreadable one or a
// line past the end.
std::string ReadDataLine(const std::string& file, int n);
// Every line of file, for a reader that wants many of them (line n is
// element n - 1); empty for a missing or unreadable file.
std::vector<std::string> ReadDataLines(const std::string& file);
// Line n, but nullopt when the file is there and cannot be read, for a
// caller that copies the line elsewhere and must not copy nothing instead.
std::optional<std::string> TryReadDataLine(const std::string& file, int n);

// Stores text at line n (n = 0 appends) and returns the line number holding
// it, 0 when text is empty. Line n may be the line just past the end; a line
// further on is a line that is not there (the key pointing at it was damaged
// or its file lost), so nothing is padded up to it: the result is
// kLineBeyondEnd and the caller stores the text as a new line (n = 0)
// instead. kLineWriteFailed when the file is there but cannot be read even
// after waiting a moment, or cannot be written: it is left as it was.
int WriteDataLine(const std::string& file, const std::string& text, int n);

}  // namespace vt
