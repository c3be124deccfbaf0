#pragma once

#include <array>
#include <cstddef>
#include <system_error>
#include <vector>

#include "columns.h"

namespace table {

// Where the table's bytes go; returns the system's reason when they could not be written.
class Sink {
 public:
  virtual ~Sink() = default;
  virtual std::error_code write(const char* data, std::size_t size) = 0;
};

// Writes to an open file descriptor with write(2), all of it, again after EINTR.
class DescriptorSink : public Sink {
 public:
  explicit DescriptorSink(int descriptor) : fd(descriptor) {}
  std::error_code write(const char* data, std::size_t size) override;

 private:
  int fd;
};

using Row = std::array<double, columnCount>;

// Writes a number: the shortest text that reads back as the same double when digits is 0, else
// that many significant digits as printf %g writes them; "inf", "-inf" or "nan" when not finite.
// Always a decimal point, whatever the locale. Needs 32 chars at out; returns the end.
char* formatNumber(char* out, double value, int digits);

// Writes the table's header and rows, separated by a comma or a tab, through a buffer of its own.
// A failed write throws std::system_error with the system's reason.
class RowWriter {
 public:
  RowWriter(Sink& sink, char separator, int digits);
  RowWriter(const RowWriter&) = delete;
  RowWriter& operator=(const RowWriter&) = delete;

  // Writes the line of column names.
  void header();
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

  Sink& sink;
  char separator;
  int digits;
  std::vector<char> buffer;
  std::size_t used = 0;
  std::array<Cell, columnCount> cells{};
};

}  // namespace table
