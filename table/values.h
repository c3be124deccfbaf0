#pragma once

#include <csignal>
#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace table {

// Bad input: the message says what was wrong, where, and the text found. The tool exits with 2.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The signal that asked a run to stop, set by the program's handler; 0 while none did.
inline volatile std::sig_atomic_t stopSignal = 0;

// Thrown where a run notices stopSignal (between rows, or in a read or write the signal
// interrupted), so that everything unwinds and an unfinished output file is discarded.
class Interrupted : public std::exception {};

// Reads a whole text as a finite decimal number ("0.85", "-300", "1.2e4", "+5"), with a decimal
// point whatever the locale. Returns an empty string on success, else why the text is not one.
std::string parseNumber(std::string_view text, double& value);

// The text without spaces at either end: "0.5, 0.8" lists two values.
std::string_view withoutSpaces(std::string_view text);

// A text for a message, on one line: control characters (C0, DEL and C1) and bytes that are not
// UTF-8 show as \xNN, so that a file's NUL or escape sequence never reaches the terminal.
std::string printable(std::string_view text);

// The text printable and quoted, cut after 40 bytes (never inside a character) when it is longer.
std::string quoted(std::string_view text);

// The values one input takes: a comma list whose items are numbers or inclusive ranges
// START:STOP:STEP. A range is stepped in decimal on scaled integers, so 0:1:0.1 gives 0.1, 0.2,
// ..., 1 and each value is the double nearest to the decimal a person would write. Values are
// made on demand: a long range takes no memory.
class ValueList {
 public:
  // A list of the one value.
  explicit ValueList(double value = 0.0) : segments{Segment{0, 0, 0, value, 1}} {}

  // Parses an option's text; what names it in messages ("--mach"). Throws InputError.
  static ValueList parse(std::string_view text, std::string_view what);

  // Number of values (a list of more than UINT64_MAX is refused).
  std::uint64_t size() const { return segments.back().end; }
  // The value at an index below size().
  double at(std::uint64_t index) const;
  // The largest value, or the smallest.
  double extreme(bool highest) const;

 private:
  // A run of values (first + i * step) / 10^scale (scale may be negative), or one value when step is
  // 0. end counts the values of the list up to and including this segment's.
  struct Segment {
    std::int64_t first;
    std::int64_t step;
    int scale;
    double value;
    std::uint64_t end;
  };
  // The value at an index below the segment's count.
  static double valueIn(const Segment& segment, std::uint64_t index);

  std::vector<Segment> segments;
};

}  // namespace table
