#include "texts.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace table {

namespace {

// The length of the UTF-8 character text starts with; 0 when its first bytes are not one.
std::size_t characterLength(std::string_view text) {
  const auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  const std::size_t length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : 2;
  if (lead < 0xc2 || lead > 0xf4 || text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xc0) != 0x80) return 0;
  }
  // Overlong forms, UTF-16 surrogates and code points beyond U+10FFFF are not characters.
  if ((lead == 0xe0 && byte(1) < 0xa0) || (lead == 0xed && byte(1) >= 0xa0) || (lead == 0xf0 && byte(1) < 0x90) ||
      (lead == 0xf4 && byte(1) >= 0x90)) {
    return 0;
  }
  return length;
}

// The printable text of the whole characters within the first longest bytes of text.
std::string printable(std::string_view text, std::size_t longest) {
  std::string result;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t character = characterLength(text.substr(i));
    const std::size_t length = std::max<std::size_t>(character, 1);
    const auto first = static_cast<unsigned char>(text[i]);
    // C0 controls, DEL, C1 controls (U+0080 to U+009F) and stray bytes are escaped byte by byte.
    const bool control = first < 0x20 || first == 0x7f || character == 0 ||
                         (first == 0xc2 && static_cast<unsigned char>(text[i + 1]) < 0xa0);
    if (i + length > longest) break;
    for (std::size_t k = 0; k < length; ++k) {
      std::array<char, 5> escaped{text[i + k]};
      if (control) std::snprintf(escaped.data(), escaped.size(), "\\x%02x", static_cast<unsigned char>(text[i + k]));
      result += escaped.data();
    }
    i += length;
  }
  return result;
}

}  // namespace

std::string_view withoutSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string printable(std::string_view text) {
  return printable(text, text.size());
}

std::string quoted(std::string_view text) {
  constexpr std::size_t longest = 40;
  const std::string shown = printable(text, longest);
  return "\"" + shown + (text.size() > longest ? "...\"" : "\"");
}

}  // namespace table
