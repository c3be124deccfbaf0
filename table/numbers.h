#pragma once

#include <string>
#include <string_view>

namespace table {

// A number's text as sign * digits * 10^exponent, digits without leading or trailing zeros
// (empty for zero).
struct Decimal {
  bool negative = false;
  std::string digits;
  long exponent = 0;
};

// Reads a whole text as a finite decimal number ("0.85", "-300", "1.2e4", "+5"), with a decimal
// point whatever the locale. Returns an empty string on success, else why the text is not one.
std::string parseNumber(std::string_view text, double& value);

// parseNumber, which also gives the decimal the text stands for.
std::string parseNumber(std::string_view text, double& value, Decimal& decimal);

}  // namespace table
