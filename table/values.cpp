#include "values.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace table {

namespace {

// Scaled range values stay below 2^62, so a difference of two of them never overflows.
constexpr std::int64_t scaledLimit = std::int64_t{1} << 62;

// A number's text as sign * digits * 10^exponent, digits without leading or trailing zeros
// (empty for zero).
struct Decimal {
  bool negative = false;
  std::string digits;
  long exponent = 0;
};

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Splits [+-]digits[.digits][(e|E)[+-]digits] with at least one mantissa digit; false otherwise.
bool splitDecimal(std::string_view text, Decimal& d) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) d.negative = text[i++] == '-';
  bool anyDigit = false;
  bool point = false;
  for (; i < text.size(); ++i) {
    if (isDigit(text[i])) {
      anyDigit = true;
      if (!d.digits.empty() || text[i] != '0') d.digits += text[i];
      if (point) --d.exponent;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    bool negative = false;
    if (++i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t start = i;
    long exponent = 0;
    // Beyond a million the number is far out of range either way.
    for (; i < text.size() && isDigit(text[i]); ++i) exponent = std::min(exponent * 10 + (text[i] - '0'), 1000000L);
    if (i == start) return false;
    d.exponent += negative ? -exponent : exponent;
  }
  while (!d.digits.empty() && d.digits.back() == '0') {
    d.digits.pop_back();
    ++d.exponent;
  }
  return i == text.size();
}

// True for the spellings of infinity and NaN that some programs write.
bool isNonFiniteWord(std::string_view text) {
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) text.remove_prefix(1);
  std::string lower;
  for (char c : text.substr(0, 9)) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return lower == "inf" || lower == "infinity" || lower == "nan";
}

// parseNumber, which also gives the decimal the text stands for.
std::string readNumber(std::string_view text, double& value, Decimal& decimal) {
  if (!splitDecimal(text, decimal)) {
    if (text.empty()) return "empty value";
    if (isNonFiniteWord(text)) return "not a finite number: " + quoted(text);
    if (text.find(',') != std::string_view::npos) return "not a number (a decimal comma?): " + quoted(text);
    return "not a number: " + quoted(text);
  }
  if (text[0] == '+') text.remove_prefix(1);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || !std::isfinite(value)) return "out of range: " + quoted(text);
  return {};
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

// The length of the UTF-8 character text starts with; 0 when its first bytes are not one.
std::size_t characterLength(std::string_view text) {
  const auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  const std::size_t length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : 2;
  if (lead < 0xc2 || lead > 0xf4 || text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xc0) != 0x80) return 0;
  }
  // Overlong forms, UTF-16 surrogates and code points beyond U+10FFFF are not characters.
  if ((lead == 0xe0 && byte(1) < 0xa0) || (lead == 0xed && byte(1) >= 0xa0) || (lead == 0xf0 && byte(1) < 0x90) ||
      (lead == 0xf4 && byte(1) >= 0x90)) {
    return 0;
  }
  return length;
}

// The printable text of the whole characters within the first longest bytes of text.
std::string printable(std::string_view text, std::size_t longest) {
  std::string result;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t character = characterLength(text.substr(i));
    const std::size_t length = std::max<std::size_t>(character, 1);
    const auto first = static_cast<unsigned char>(text[i]);
    // C0 controls, DEL, C1 controls (U+0080 to U+009F) and stray bytes are escaped byte by byte.
    const bool control = first < 0x20 || first == 0x7f || character == 0 ||
                         (first == 0xc2 && static_cast<unsigned char>(text[i + 1]) < 0xa0);
    if (i + length > longest) break;
    for (std::size_t k = 0; k < length; ++k) {
      std::array<char, 5> escaped{text[i + k]};
      if (control) std::snprintf(escaped.data(), escaped.size(), "\\x%02x", static_cast<unsigned char>(text[i + k]));
      result += escaped.data();
    }
    i += length;
  }
  return result;
}

}  // namespace

std::string_view withoutSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string printable(std::string_view text) {
  return printable(text, text.size());
}

std::string quoted(std::string_view text) {
  constexpr std::size_t longest = 40;
  const std::string shown = printable(text, longest);
  return "\"" + shown + (text.size() > longest ? "...\"" : "\"");
}

std::string parseNumber(std::string_view text, double& value) {
  Decimal ignored;
  return readNumber(text, value, ignored);
}

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
        const std::string problem = readNumber(withoutSpaces(fields[i]), bounds[i], decimals[i]);
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
