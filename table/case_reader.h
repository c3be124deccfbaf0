#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "columns.h"

namespace table {

// Reads flight cases from CSV or TSV text: a header naming any of the inputs in any order, then
// one case a line. The separator is a tab when the header holds one, else a comma; cells may be
// quoted as RFC 4180 quotes them. A byte order mark, CRLF line ends, blank lines and lines
// starting with '#' are accepted; columns named like the tool's outputs are skipped, so the
// tool's own tables read back. Every refusal throws InputError naming the source, the line, the
// column and the text found.
class CaseReader {
 public:
  // Reads the header from an open descriptor, which stays the caller's. name is how messages call
  // the source; the columns of the inputs marked in replaced are skipped (the command line gives
  // those).
  CaseReader(int descriptor, std::string name, std::array<bool, inputCount> replaced = {});
  CaseReader(const CaseReader&) = delete;
  CaseReader& operator=(const CaseReader&) = delete;

  // Sets the inputs the file gives from the next case; false after the last one.
  bool next(Inputs& inputs);

  // The inputs the file gives and the command line does not replace.
  const std::array<bool, inputCount>& givenInputs() const { return given; }
  // Whether the file's altitudes are geometric: its column is geometric_altitude.
  bool geometric() const { return geometricColumn; }
  // "name:line" of the case last read (or of the header), for messages.
  std::string where() const;

 private:
  // Reads the next line that is neither blank nor a comment into text; false at the end.
  bool readLine();
  // Reads more of the source into the buffer.
  void fill();
  // Splits text into cells at the separator, unquoting quoted cells.
  void splitLine();

  int fd;
  std::string name;
  std::string buffer;
  std::size_t lineStart = 0;  // where the next line starts in buffer
  bool atEnd = false;
  std::uint64_t lineNumber = 0;
  std::string text;
  std::vector<std::string> cells;
  char sep = ',';
  std::array<bool, inputCount> given{};
  bool geometricColumn = false;
  // The input each column sets, or inputCount for a skipped column, and the header's names.
  std::vector<std::size_t> columnInput;
  std::vector<std::string> header;
};

}  // namespace table
