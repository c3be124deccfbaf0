#pragma once

#include <cstdint>
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

// Reads a whole text as a finite decimal number ("0.85", "-300", "1.2e4", "+5"), with a decimal
// point whatever the locale. Returns an empty string on success, else why the text is not one.
std::string parseNumber(std::string_view text, double& value);

// The text quoted for a message, cut short when it is long.
std::string quoted(std::string_view text);

// The values one input takes: a comma list whose items are numbers or inclusive ranges
// START:STOP:STEP. A range is stepped in decimal on scaled integers, so 0:1:0.1 gives 0.1, 0.2,
// ..., 1 and each value is the double nearest to the decimal a person would write. Values are
// made on demand: a long range takes no memory.
class ValueList {
 public:
  // A list of the one value.
  explicit ValueList(double value = 0.0);

  // Parses an option's text; what names it in messages ("--mach"). Throws InputError.
  static ValueList parse(std::string_view text, std::string_view what);

  // Number of values, at most UINT64_MAX (a longer list is refused).
  std::uint64_t size() const { return count; }

  // The value at an index below size().
  double at(std::uint64_t index) const;

 private:
  // A run of values: first + i * step for i below count, over 10^-scale (a single value has
  // count 1 and keeps its double).
  struct Segment {
    std::int64_t first = 0;
    std::int64_t step = 0;
    std::uint64_t count = 1;
    int scale = 0;
    double value = 0.0;
    bool isRange = false;
  };
  // The value at an index below the segment's count.
  double valueIn(const Segment& segment, std::uint64_t index) const;

  std::vector<Segment> segments;
  std::vector<double> cache;  // every value, when the list is short
  std::uint64_t count = 0;
};

}  // namespace table
