#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "errors.h"

namespace table {

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
