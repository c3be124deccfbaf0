#pragma once

#include <cmath>

namespace aero {

// A finite number as mantissa * 2^exponent, for products and quotients of a few numbers that
// must not overflow or underflow on the way when the result itself is in range. Scaling by powers
// of two is exact, so each step rounds as the plain expression does wherever that stays in range,
// and the result is the same double.
class Scaled {
 public:
  explicit Scaled(double x) { mantissa = std::frexp(x, &exponent); }

  Scaled& operator*=(Scaled factor) {
    mantissa *= factor.mantissa;
    exponent += factor.exponent;
    return *this;
  }
  Scaled& operator/=(Scaled divisor) {
    mantissa /= divisor.mantissa;
    exponent -= divisor.exponent;
    return *this;
  }
  double value() const { return std::ldexp(mantissa, exponent); }
  // The square root, of a number not negative.
  double root() const {
    return exponent % 2 == 0 ? std::ldexp(std::sqrt(mantissa), exponent / 2)
                             : std::ldexp(std::sqrt(2.0 * mantissa), (exponent - 1) / 2);
  }

 private:
  double mantissa = 0.0;
  int exponent = 0;
};

// Whether every one of the numbers is finite, so that Scaled may take them.
template <typename... Numbers>
bool allFinite(Numbers... numbers) {
  return (std::isfinite(numbers) && ...);
}

}  // namespace aero
