#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "columns.h"
#include "file_replacement.h"

namespace table {

// Writes a number: the shortest text that reads back as the same double when digits is 0, else
// that many significant digits as printf %g writes them; "inf", "-inf" or "nan" when not finite.
// Always a decimal point, whatever the locale. Needs 32 chars at out; returns the end.
char* formatNumber(char* out, double value, int digits);

// Writes the table's header and rows, separated by a comma or a tab, through a buffer of its own.
// Inputs are always written as the shortest text that reads back as the same value, so a table
// read back gives the same cases; digits applies to the computed columns. A failed write throws
// std::system_error with the system's reason.
class RowWriter {
 public:
  RowWriter(report::FileReplacement& file, char separator, int digits);
  RowWriter(const RowWriter&) = delete;
  RowWriter& operator=(const RowWriter&) = delete;

  // Writes the line of column names; geometric names the altitude column geometric_altitude.
  void header(bool geometric);
  // Writes one row of numbers.
  void row(const Row& values);
  // Writes what the buffer holds.
  void flush();

 private:
  // Text of the value last written in a column: sweeps repeat most columns row after row.
  struct Cell {
    double value = 0.0;
    bool valid = false;
    unsigned char length = 0;
    std::array<char, 32> text{};
  };

  // Makes room for size more bytes, writing out what the buffer holds when it is short.
  void reserve(std::size_t size);

  report::FileReplacement& file;
  char separator;
  int digits;
  std::vector<char> buffer;
  std::size_t used = 0;
  std::array<Cell, columnCount> cells{};
};

}  // namespace table
