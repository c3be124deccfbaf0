#include "numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "texts.h"

namespace table {

namespace {

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

}  // namespace

std::string parseNumber(std::string_view text, double& value, Decimal& decimal) {
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

std::string parseNumber(std::string_view text, double& value) {
  Decimal ignored;
  return parseNumber(text, value, ignored);
}

}  // namespace table
