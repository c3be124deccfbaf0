#include "path_lines.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

// Where the next character starts after the one at a position of a UTF-8 text.
std::size_t nextCharacter(const std::string& text, std::size_t at) {
  ++at;
  while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0U) == 0x80U) {
    ++at;
  }
  return at;
}

// Breaks one line of text (no '\n' in it) into lines no wider than maxWidth.
void breakLine(const std::string& text, int maxWidth, const TextWidth& width, std::vector<std::string>& lines) {
  std::size_t start = 0;
  while (start < text.size()) {
    // The longest piece from start that fits, and the longest one of those ending just after a '/'.
    std::size_t fits = nextCharacter(text, start);
    std::size_t afterSlash = 0;
    for (std::size_t end = fits; end <= text.size(); end = nextCharacter(text, end)) {
      if (width(text.substr(start, end - start)) > maxWidth) {
        break;
      }
      fits = end;
      if (text[end - 1] == '/') {
        afterSlash = end;
      }
      if (end == text.size()) {
        break;
      }
    }
    const std::size_t end = (fits < text.size() && afterSlash > start) ? afterSlash : fits;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
}

}  // namespace

std::string fitPath(const std::string& path, int maxWidth, int maxLines, const TextWidth& width) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t newline = path.find('\n', start);
    const std::string line = path.substr(start, newline == std::string::npos ? std::string::npos : newline - start);
    if (line.empty()) {
      lines.push_back(line);
    } else {
      breakLine(line, maxWidth, width, lines);
    }
    if (newline == std::string::npos) {
      break;
    }
    start = newline + 1;
  }

  const std::size_t most = static_cast<std::size_t>(std::max(maxLines, 3));
  if (lines.size() > most) {
    // The file name is at the end: the tail keeps two thirds of the lines left.
    const std::size_t kept = most - 1;
    const std::size_t head = std::max<std::size_t>(1, kept / 3);
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(head),
                lines.end() - static_cast<std::ptrdiff_t>(kept - head));
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(head), "...");
  }

  std::string fitted;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    fitted += (i == 0 ? "" : "\n") + lines[i];
  }
  return fitted;
}
