#include "values.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace table {

namespace {

// Scaled range values stay below 2^62, so a difference of two of them never overflows.
constexpr std::int64_t scaledLimit = std::int64_t{1} << 62;

// Lists this short keep their values ready.
constexpr std::uint64_t cachedValues = 65536;

// Where a number's parts lie in its text, when the text is one.
struct DecimalText {
  bool negative = false;
  std::string_view integerDigits;
  std::string_view fractionDigits;
  long exponent = 0;
};

// An ASCII digit, whatever the locale.
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Splits [+-]digits[.digits][(e|E)[+-]digits] with at least one mantissa digit; false otherwise.
bool splitDecimal(std::string_view text, DecimalText& parts) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    parts.negative = text[i] == '-';
    ++i;
  }
  std::size_t start = i;
  while (i < text.size() && isDigit(text[i])) ++i;
  parts.integerDigits = text.substr(start, i - start);
  if (i < text.size() && text[i] == '.') {
    start = ++i;
    while (i < text.size() && isDigit(text[i])) ++i;
    parts.fractionDigits = text.substr(start, i - start);
  }
  if (parts.integerDigits.empty() && parts.fractionDigits.empty()) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      negativeExponent = text[i] == '-';
      ++i;
    }
    start = i;
    long exponent = 0;
    while (i < text.size() && isDigit(text[i])) {
      // Beyond a million the number is far out of range either way.
      if (exponent < 1000000) exponent = exponent * 10 + (text[i] - '0');
      ++i;
    }
    if (i == start) return false;
    parts.exponent = negativeExponent ? -exponent : exponent;
  }
  return i == text.size();
}

// The text without spaces at either end: "0.5, 0.8" lists two values.
std::string_view withoutSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// True for the spellings of infinity and NaN that some programs write.
bool isNonFiniteWord(std::string_view text) {
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) text.remove_prefix(1);
  std::string lower;
  for (char c : text.substr(0, 8)) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text.size() <= 8 && (lower == "inf" || lower == "infinity" || lower == "nan");
}

// A range bound or step as sign * digits * 10^exponent, digits without leading or trailing zeros.
struct Decimal {
  bool negative = false;
  std::string digits;
  long exponent = 0;
};

// The decimal a split text stands for, in its shortest digits.
Decimal toDecimal(const DecimalText& parts) {
  Decimal d;
  d.negative = parts.negative;
  d.digits = std::string(parts.integerDigits) + std::string(parts.fractionDigits);
  d.exponent = parts.exponent - static_cast<long>(parts.fractionDigits.size());
  const std::size_t firstNonZero = d.digits.find_first_not_of('0');
  if (firstNonZero == std::string::npos) return Decimal{};
  d.digits.erase(0, firstNonZero);
  while (d.digits.back() == '0') {
    d.digits.pop_back();
    ++d.exponent;
  }
  return d;
}

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
  if (scale < static_cast<int>(powers.size()) && value < exactInteger && value > -exactInteger) {
    // Both operands are exact and the division is correctly rounded.
    return static_cast<double>(value) / powers[static_cast<std::size_t>(scale)];
  }
  const std::string text = std::to_string(value) + "e-" + std::to_string(scale);
  double result = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), result);
  return result;
}

}  // namespace

std::string quoted(std::string_view text) {
  constexpr std::size_t longest = 40;
  std::string result = "\"";
  result += text.substr(0, longest);
  if (text.size() > longest) result += "...";
  return result + "\"";
}

std::string parseNumber(std::string_view text, double& value) {
  DecimalText parts;
  if (!splitDecimal(text, parts)) {
    if (text.empty()) return "empty value";
    if (isNonFiniteWord(text)) return "not a finite number: " + quoted(text);
    if (text.find(',') != std::string_view::npos) return "not a number (a decimal comma?): " + quoted(text);
    return "not a number: " + quoted(text);
  }
  if (text[0] == '+') text.remove_prefix(1);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec == std::errc::result_out_of_range || !std::isfinite(value)) {
    return "out of range: " + quoted(text);
  }
  if (ec != std::errc() || end != text.data() + text.size()) return "not a number: " + quoted(text);
  return {};
}

ValueList::ValueList(double value) : count(1) {
  Segment single;
  single.value = value;
  segments.push_back(single);
  cache.push_back(value);
}

ValueList ValueList::parse(std::string_view text, std::string_view what) {
  const std::string where = std::string(what) + ": ";
  ValueList list;
  list.segments.clear();
  list.cache.clear();
  list.count = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    const std::string_view item =
        withoutSpaces(text.substr(start, comma == std::string_view::npos ? text.npos : comma - start));
    Segment segment;
    if (item.find(':') == std::string_view::npos) {
      const std::string problem = parseNumber(item, segment.value);
      if (!problem.empty()) {
        throw InputError(where + problem + (item.empty() ? " in " + quoted(text) : ""));
      }
    } else {
      std::array<std::string_view, 3> fields;
      std::size_t from = 0;
      std::size_t n = 0;
      for (; n < fields.size(); ++n) {
        const std::size_t colon = item.find(':', from);
        fields[n] = withoutSpaces(item.substr(from, colon == std::string_view::npos ? item.npos : colon - from));
        from = colon == std::string_view::npos ? item.size() + 1 : colon + 1;
        if (colon == std::string_view::npos) break;
      }
      if (n != 2 || from <= item.size()) {
        throw InputError(where + "a range is START:STOP:STEP, found " + quoted(item));
      }
      static constexpr std::array<const char*, 3> names{"start", "stop", "step"};
      std::array<Decimal, 3> bounds;
      long scale = 0;
      for (std::size_t i = 0; i < fields.size(); ++i) {
        DecimalText parts;
        double ignored = 0.0;
        const std::string problem = parseNumber(fields[i], ignored);
        if (!problem.empty() || !splitDecimal(fields[i], parts)) {
          throw InputError(where + "range " + quoted(item) + ": " + names[i] + ": " +
                           (problem.empty() ? "not a number" : problem));
        }
        bounds[i] = toDecimal(parts);
        if (!bounds[i].digits.empty() && -bounds[i].exponent > scale) scale = -bounds[i].exponent;
      }
      std::array<std::int64_t, 3> values{};
      for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!scaled(bounds[i], scale, values[i])) {
          throw InputError(where + "range " + quoted(item) +
                           ": too many digits to step exactly (at most 18 significant digits in all)");
        }
      }
      const auto [first, stop, step] = values;
      if (step == 0) throw InputError(where + "range " + quoted(item) + ": the step is zero");
      if (stop != first && (stop > first) != (step > 0)) {
        throw InputError(where + "range " + quoted(item) + ": the step " + quoted(fields[2]) + " leads away from " +
                         quoted(fields[1]));
      }
      segment.isRange = true;
      segment.first = first;
      segment.step = step;
      segment.scale = static_cast<int>(scale);
      segment.count = static_cast<std::uint64_t>((stop - first) / step) + 1;
    }
    if (segment.count > std::numeric_limits<std::uint64_t>::max() - list.count) {
      throw InputError(where + "too many values in " + quoted(text));
    }
    list.count += segment.count;
    list.segments.push_back(segment);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (list.count <= cachedValues) {
    for (const Segment& segment : list.segments) {
      for (std::uint64_t i = 0; i < segment.count; ++i) list.cache.push_back(list.valueIn(segment, i));
    }
  }
  return list;
}

double ValueList::valueIn(const Segment& segment, std::uint64_t index) const {
  if (!segment.isRange) return segment.value;
  return unscale(segment.first + static_cast<std::int64_t>(index) * segment.step, segment.scale);
}

double ValueList::at(std::uint64_t index) const {
  if (!cache.empty()) return cache[index];
  for (const Segment& segment : segments) {
    if (index < segment.count) return valueIn(segment, index);
    index -= segment.count;
  }
  return 0.0;
}

}  // namespace table
