#pragma once

#include <functional>
#include <string>

// The width in pixels of a text drawn on one line in a given font.
using TextWidth = std::function<int(const std::string&)>;

// A path laid out for a message box: unchanged when it is no wider than maxWidth; otherwise broken
// into lines no wider than maxWidth, after a '/' where one fits and else between two characters
// (never inside a UTF-8 sequence). When that takes more than maxLines lines, lines from the middle
// make way for one line "...", keeping the start and, at the end, the file name. A line that cannot
// hold even one character gets one; maxLines below 3 counts as 3. Lines are joined with '\n'.
std::string fitPath(const std::string& path, int maxWidth, int maxLines, const TextWidth& width);
