#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "path_lines.h"
#include "test_files.h"

namespace {

// 10 px per character, a UTF-8 sequence counting as one character.
int tenPerCharacter(const std::string& text) {
  int characters = 0;
  for (unsigned char byte : text) {
    characters += (byte & 0xC0U) != 0x80U ? 1 : 0;
  }
  return 10 * characters;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
  }
  return text;
}

}  // namespace

TEST(PathLines, PathThatFitsIsKeptAsItIs) {
  EXPECT_EQ(fitPath("/tmp/ref.out", 120, 1, tenPerCharacter), "/tmp/ref.out");
  EXPECT_EQ(fitPath("", 120, 5, tenPerCharacter), "");
}

// Lines end after a '/' where one fits, a name too long for a line is cut between characters, and
// read one after the other the lines are the path.
TEST(PathLines, LongPathIsBrokenWithinTheWidth) {
  const std::string name(600, 'n');
  const std::string path = "/tmp/quorvan-test-abcdef/" + name;
  const std::vector<std::string> lines = linesOf(fitPath(path, 300, 100, tenPerCharacter));
  ASSERT_EQ(lines.size(), 1u + 20u);
  EXPECT_EQ(lines[0], "/tmp/quorvan-test-abcdef/");
  for (const std::string& line : lines) {
    EXPECT_LE(tenPerCharacter(line), 300) << line;
  }
  EXPECT_EQ(joined(lines), path);

  const std::vector<std::string> folders = linesOf(fitPath("/aaaa/bbbb/cccc/dddd/eeee.out", 120, 10, tenPerCharacter));
  EXPECT_EQ(folders, (std::vector<std::string>{"/aaaa/bbbb/", "cccc/dddd/", "eeee.out"}));
}

TEST(PathLines, CharactersAreNeverSplit) {
  std::string path = "/";
  for (int i = 0; i < 40; ++i) {
    path += "\xc3\xa9\xe2\x82\xac";  // "é€"
  }
  const std::vector<std::string> lines = linesOf(fitPath(path, 70, 100, tenPerCharacter));
  EXPECT_EQ(joined(lines), path);
  for (const std::string& line : lines) {
    EXPECT_LE(tenPerCharacter(line), 70);
    EXPECT_NE(static_cast<unsigned char>(line.front()) & 0xC0U, 0x80U) << "a line starts inside a character";
  }
  // Narrower than one character: one character a line, nothing lost.
  EXPECT_EQ(fitPath("abc", 3, 10, tenPerCharacter), "a\nb\nc");
  EXPECT_EQ(fitPath("a\n\nb", 100, 10, tenPerCharacter), "a\n\nb");
}

// Too many lines: the middle gives way to "...", the start and the file name at the end stay.
TEST(PathLines, TooManyLinesAreShortenedInTheMiddle) {
  std::string path;
  for (int i = 0; i < 50; ++i) {
    path += "/folder" + std::to_string(i % 10);
  }
  path += "/the-report-name.out";
  const std::vector<std::string> lines = linesOf(fitPath(path, 200, 7, tenPerCharacter));
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "/folder0/folder1/");
  EXPECT_EQ(lines[2], "...");
  EXPECT_EQ(lines[6], "the-report-name.out");
  EXPECT_EQ(path.substr(path.size() - joined({lines.begin() + 3, lines.end()}).size()),
            joined({lines.begin() + 3, lines.end()}));

  EXPECT_EQ(linesOf(fitPath(path, 200, 0, tenPerCharacter)).size(), 3u);
}
