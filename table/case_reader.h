#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "columns.h"

namespace table {

using aero::Column;
using aero::columnCount;
using aero::ColumnSet;
using aero::Row;
using aero::Units;

// Reads flight cases from CSV or TSV text: a header naming columns in any order (a unit suffix
// such as altitude_ft says the unit), then one case a line. The separator is a tab when the header
// holds one, else a comma; cells may be quoted as RFC 4180 quotes them. A byte order mark, CRLF
// line ends, blank lines and lines starting with '#' are accepted. Columns are told apart by name:
// of several speed columns the first gives the speed, and the reader is told which of the others
// are inputs; the rest, and a column without a name that holds row names or nothing, are skipped,
// so the tool's own tables read back. A cell may hold nan, as a table writes an unsolved row. Every
// refusal throws InputError naming the source, the line, the column and the text found.
class CaseReader {
 public:
  // Reads the header from an open descriptor, which stays the caller's; name is how messages call
  // the source.
  CaseReader(int descriptor, const std::string& name);
  CaseReader(const CaseReader&) = delete;
  CaseReader& operator=(const CaseReader&) = delete;

  // The file's speed column (mach, tas, eas or cas; the first of them), or columnCount.
  Column speedColumn() const { return speed; }
  // Whether the file's altitude column is geometric_altitude.
  bool geometric() const { return geometricColumn; }
  // Whether the file has this column (of the speeds, only the first counts).
  bool has(Column column) const { return position[column] >= 0; }

  // From now on reads the columns marked in wanted, each converted to the chosen unit of its
  // quantity, and skips the others. Refuses a file without any of the columns marked in inputs.
  void read(const ColumnSet& inputs, const ColumnSet& wanted, const Units& chosen);
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
    Column column = columnCount;  // columnCount for a column without a name
    aero::Unit unit;
    double factor = 1.0;  // to the chosen unit
    bool read = false;
  };

  // Reads the next line that is neither blank nor a comment into text; false at the end.
  bool readLine();
  // Reads more of the source into the buffer.
  void fill();
  // Splits text into fields at the separator, unquoting quoted ones.
  void splitLine();
  // Refuses a number under an empty header unless it is a whole one, a row's name.
  void checkRowName(std::size_t cell) const;

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
  std::array<int, columnCount> position{};  // of each column among the cells, -1 if none
  Column speed = columnCount;
  bool geometricColumn = false;
  Units chosenUnits = aero::defaultUnits();
};

}  // namespace table
