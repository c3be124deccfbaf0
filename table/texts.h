#pragma once

#include <string>
#include <string_view>

namespace table {

// The text without spaces at either end: "0.5, 0.8" lists two values.
std::string_view withoutSpaces(std::string_view text);

// A text for a message, on one line: control characters (C0, DEL and C1) and bytes that are not
// UTF-8 show as \xNN, so that a file's NUL or escape sequence never reaches the terminal.
std::string printable(std::string_view text);

// The text printable and quoted, cut after 40 bytes (never inside a character) when it is longer.
std::string quoted(std::string_view text);

}  // namespace table
