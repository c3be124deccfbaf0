#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "columns.h"

namespace table {

using namespace aero;
using namespace aero::col;

// Reads flight cases from CSV or TSV text: a header naming columns in any order (a unit suffix
// such as altitude_ft says the unit), then one case a line. The separator is a tab when the header
// holds one, else a comma; cells may be quoted as RFC 4180 quotes them. A byte order mark, CRLF
// line ends, blank lines and lines starting with '#' are accepted. Columns named like the tool's
// outputs are skipped, and so is every column after geopotential_altitude, so the tool's own
// tables read back. Every refusal throws InputError naming the source, the line, the column and
// the text found.
class CaseReader {
 public:
  // Reads the header from an open descriptor, which stays the caller's; name is how messages call
  // the source.
  CaseReader(int descriptor, std::string name);
  CaseReader(const CaseReader&) = delete;
  CaseReader& operator=(const CaseReader&) = delete;

  // The file's speed column (mach, tas, eas or cas), or columnCount when it has none.
  Column speedColumn() const { return speed; }
  // Whether the file's altitude column is geometric_altitude.
  bool geometric() const { return geometricColumn; }
  // Whether the file has this column among its inputs (before its outputs begin).
  bool has(Column column) const { return position[column] >= 0; }

  // From now on reads the columns marked in wanted, each converted to the chosen unit of its
  // quantity, and skips the others. Refuses a file without any of the columns marked in inputs.
  void read(const std::array<bool, columnCount>& inputs, const std::array<bool, columnCount>& wanted,
            const Units& chosen);
  // Sets the wanted columns of row from the next case; false after the last one.
  bool next(Row& row);

  // Whether the file gives this column (it has it and reads it).
  bool gives(Column column) const { return has(column) && cells[static_cast<std::size_t>(position[column])].read; }
  // "name:line" of the case last read (or of the header), for messages.
  std::string where() const;
  // The file's name of a column it has, for messages.
  const std::string& nameOf(Column column) const { return cells[static_cast<std::size_t>(position[column])].name; }

 private:
  // One column of the file.
  struct Cell {
    std::string name;
    Column column = columnCount;  // columnCount after the inputs
    double factor = 1.0;          // to the chosen unit
    bool read = false;
  };

  // Reads the next line that is neither blank nor a comment into text; false at the end.
  bool readLine();
  // Reads more of the source into the buffer.
  void fill();
  // Splits text into fields at the separator, unquoting quoted ones.
  void splitLine();

  int fd;
  std::string name;
  std::string buffer;
  std::size_t lineStart = 0;  // where the next line starts in buffer
  bool atEnd = false;
  std::uint64_t lineNumber = 0;
  std::string text;
  std::vector<std::string> fields;
  char sep = ',';
  std::vector<Cell> cells;
  std::array<int, columnCount> position{};  // of each input column among the cells, -1 if none
  Column speed = columnCount;
  bool geometricColumn = false;
};

}  // namespace table
