#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "columns.h"
#include "file_replacement.h"

namespace table {

using aero::Column;
using aero::columnCount;
using aero::Row;

// Writes a number: the shortest text that reads back as the same double when digits is 0, else
// that many significant digits as printf %g writes them; "inf", "-inf" or "nan" when not finite.
// Always a decimal point, whatever the locale. Needs 32 chars at out; returns the end.
char* formatNumber(char* out, double value, int digits);

// A number as the table writes it by default, as text for messages and help.
inline std::string numberText(double value) {
  std::array<char, 32> text{};
  return std::string(text.data(), formatNumber(text.data(), value, 0));
}

// What a table shows: its columns in order with their header names, and how numbers are written.
struct Layout {
  std::vector<Column> columns;
  std::vector<std::string> names;
  char separator = ',';
  // Significant digits of the computed columns; 0 for the shortest text that reads back exactly.
  int digits = 0;
  // The inputs, always written as the shortest text, so that a table read back gives the same cases.
  std::array<bool, columnCount> exact{};
};

// Writes the table's header and rows through a buffer of its own. A failed write throws
// std::system_error with the system's reason.
class RowWriter {
 public:
  RowWriter(files::FileReplacement& file, Layout layout);
  RowWriter(const RowWriter&) = delete;
  RowWriter& operator=(const RowWriter&) = delete;

  // Writes the line of column names.
  void header();
  // Writes one row's columns.
  void row(const Row& values);
  // Writes what the buffer holds.
  void flush();
  // The rows written out whole so far, the header not counted.
  std::uint64_t rowsWritten() const { return lines - (headerShown && lines > 0 ? 1 : 0); }

 private:
  // A column written, with the text of the value last written in it: sweeps repeat most columns
  // row after row.
  struct Cell {
    Column column = columnCount;
    int digits = 0;
    double value = 0.0;
    bool valid = false;
    unsigned char length = 0;
    std::array<char, 32> text{};
  };

  // Makes room for size more bytes, writing out what the buffer holds when it is short.
  void reserve(std::size_t size);

  files::FileReplacement& file;
  Layout layout;
  std::vector<char> buffer;
  std::size_t used = 0;
  std::vector<Cell> cells;
  bool headerShown = false;
  std::uint64_t buffered = 0;  // lines in the buffer
  std::uint64_t lines = 0;     // written out whole
};

}  // namespace table
