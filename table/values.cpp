#include "values.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "numbers.h"
#include "texts.h"

namespace table {

namespace {

// Scaled range values stay below 2^62, so a difference of two of them never overflows.
constexpr std::int64_t scaledLimit = std::int64_t{1} << 62;

// The decimal times 10^scale as an integer below scaledLimit; false when it is not one.
bool scaled(const Decimal& d, long scale, std::int64_t& result) {
  result = 0;
  if (d.digits.empty()) return true;
  const long zeros = d.exponent + scale;
  if (zeros < 0 || static_cast<long>(d.digits.size()) + zeros > 19) return false;
  std::uint64_t magnitude = 0;
  for (char c : d.digits) magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
  for (long i = 0; i < zeros; ++i) magnitude *= 10;
  if (magnitude >= static_cast<std::uint64_t>(scaledLimit)) return false;
  result = d.negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  return true;
}

// The double nearest to value / 10^scale.
double unscale(std::int64_t value, int scale) {
  static constexpr std::array<double, 23> powers{1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                                 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  constexpr std::int64_t exactInteger = std::int64_t{1} << 53;
  const auto magnitude = static_cast<std::size_t>(scale < 0 ? -scale : scale);
  if (magnitude < powers.size() && value < exactInteger && value > -exactInteger) {
    // Both operands are exact and the operation is correctly rounded.
    return scale < 0 ? static_cast<double>(value) * powers[magnitude] : static_cast<double>(value) / powers[magnitude];
  }
  const std::string text = std::to_string(value) + "e" + std::to_string(-scale);
  double result = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), result);
  return result;
}

}  // namespace

ValueList ValueList::parse(std::string_view text, std::string_view what) {
  const std::string where = std::string(what) + ": ";
  ValueList list;
  list.segments.clear();
  std::uint64_t total = 0;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    const std::string_view item = withoutSpaces(text.substr(start, comma - start));
    start = comma + 1;
    Segment segment{0, 0, 0, 0.0, 1};
    const std::size_t colon = item.find(':');
    if (colon == std::string_view::npos) {
      const std::string problem = parseNumber(item, segment.value);
      if (!problem.empty()) throw InputError(where + problem + (item.empty() ? " in " + quoted(text) : ""));
    } else {
      const std::size_t second = item.find(':', colon + 1);
      if (second == std::string_view::npos || item.find(':', second + 1) != std::string_view::npos) {
        throw InputError(where + "a range is START:STOP:STEP, found " + quoted(item));
      }
      const std::string range = where + "range " + quoted(item) + ": ";
      const std::array<std::string_view, 3> fields{item.substr(0, colon), item.substr(colon + 1, second - colon - 1),
                                                   item.substr(second + 1)};
      static constexpr std::array<const char*, 3> names{"start", "stop", "step"};
      std::array<Decimal, 3> decimals;
      std::array<double, 3> bounds{};
      // The place of the last digit any of the three has: 10^-scale.
      long scale = std::numeric_limits<long>::min();
      for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string problem = parseNumber(withoutSpaces(fields[i]), bounds[i], decimals[i]);
        if (!problem.empty()) throw InputError(range + names[i] + ": " + problem);
        if (!decimals[i].digits.empty()) scale = std::max(scale, -decimals[i].exponent);
      }
      if (bounds[2] == 0.0) throw InputError(range + "the step is zero");
      const auto refuseIfAway = [&](bool away) {
        if (away) {
          throw InputError(range + "the step " + quoted(withoutSpaces(fields[2])) + " leads away from " +
                           quoted(withoutSpaces(fields[1])));
        }
      };
      refuseIfAway(bounds[1] != bounds[0] && (bounds[1] > bounds[0]) != (bounds[2] > 0.0));
      const double estimate = std::floor((bounds[1] - bounds[0]) / bounds[2]) + 1.0;
      if (estimate >= static_cast<double>(scaledLimit)) {
        std::array<char, 32> count{};
        std::snprintf(count.data(), count.size(), "%.3g", estimate);
        throw InputError(range + "too many values (about " + count.data() + ")");
      }
      std::array<std::int64_t, 3> values{};
      for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!scaled(decimals[i], scale, values[i])) {
          throw InputError(range + "too many digits to step exactly (at most 18 significant digits in all)");
        }
      }
      // Decimals too close for doubles to tell apart are told apart here.
      const auto [first, stop, step] = values;
      refuseIfAway(stop != first && (stop > first) != (step > 0));
      segment =
          Segment{first, step, static_cast<int>(scale), 0.0, static_cast<std::uint64_t>((stop - first) / step) + 1};
    }
    if (segment.end > std::numeric_limits<std::uint64_t>::max() - total) {
      throw InputError(where + "too many values in " + quoted(text));
    }
    total += segment.end;
    segment.end = total;
    list.segments.push_back(segment);
  }
  return list;
}

double ValueList::valueIn(const Segment& segment, std::uint64_t index) {
  if (segment.step == 0) return segment.value;
  return unscale(segment.first + static_cast<std::int64_t>(index) * segment.step, segment.scale);
}

double ValueList::at(std::uint64_t index) const {
  const auto segment = std::upper_bound(segments.begin(), segments.end(), index,
                                        [](std::uint64_t i, const Segment& s) { return i < s.end; });
  return valueIn(*segment, index - (segment == segments.begin() ? 0 : std::prev(segment)->end));
}

double ValueList::extreme(bool highest) const {
  double extreme = highest ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
  std::uint64_t start = 0;
  for (const Segment& segment : segments) {
    for (const double value : {valueIn(segment, 0), valueIn(segment, segment.end - start - 1)}) {
      extreme = highest ? std::max(extreme, value) : std::min(extreme, value);
    }
    start = segment.end;
  }
  return extreme;
}

}  // namespace table
