#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "columns.h"

namespace table {

// Reads flight cases from CSV or TSV text: a header naming any of the inputs in any order, then
// one case a line. The separator is a tab when the header holds one, else a comma. CRLF line
// ends, blank lines and lines starting with '#' are accepted; columns named like the tool's
// outputs are skipped, so the tool's own tables read back. Every refusal throws InputError naming
// the file, the line, the column and the text found.
class CaseReader {
 public:
  // Reads the header. name is how messages call the source; the cells of the inputs marked in
  // replaced are skipped (the command line gives those).
  CaseReader(std::istream& in, std::string name, std::array<bool, inputCount> replaced = {});
  CaseReader(const CaseReader&) = delete;
  CaseReader& operator=(const CaseReader&) = delete;

  // Sets the inputs the file gives from the next case; false after the last one.
  bool next(Inputs& inputs);

  // The inputs the file gives and the command line does not replace.
  const std::array<bool, inputCount>& givenInputs() const { return given; }

  // Line of the case last read (or of the header), counted from 1.
  std::uint64_t line() const { return lineNumber; }
  char separator() const { return sep; }
  const std::string& sourceName() const { return name; }

 private:
  // Reads the next line that is neither blank nor a comment into text; false at the end.
  bool readLine();
  // Splits text into cells at the separator.
  void splitLine();
  // "name:line" for messages.
  std::string where() const;

  std::istream& in;
  std::string name;
  std::array<bool, inputCount> given{};
  std::string text;
  std::vector<std::string_view> cells;
  // The input each column sets, or inputCount for a skipped column.
  std::vector<std::size_t> columnInput;
  std::uint64_t lineNumber = 0;
  char sep = ',';
};

}  // namespace table
