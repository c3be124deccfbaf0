#include <cmath>
#include <cstddef>
#include <limits>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

#include "altitudes.h"
#include "atmosphere.h"

namespace {

// A function of geopotential altitude and its inverse; without one, lowestAltitudeWhere inverts it.
struct Inverse {
  const char* name;
  double (*of)(double);
  double (*inverse)(double);
};

void PrintTo(const Inverse& f, std::ostream* os) {
  *os << f.name;
}

// Reynolds number per metre at Mach 0.8 on a day 10 K colder than standard.
double reynolds(double h) {
  const aero::AirState air = aero::airState(h, -10.0);
  return air.density * 0.8 * air.soundSpeed / air.viscosity;
}

// The altitude of a value; evaluations counts the search's calls of the function.
double altitudeOf(const Inverse& f, double value, int& evaluations) {
  if (f.inverse != nullptr) return f.inverse(value);
  return aero::lowestAltitudeWhere(value, [&](double h) { return ++evaluations, f.of(h); });
}

double justBelow(double h) {
  return std::nextafter(h, 0.0);
}

class Inverses : public testing::TestWithParam<Inverse> {};

// Near the base of each layer (10 m above it: at 52000 and 79000 m the value just above the base is
// also reached below it), in its middle and just below its top, and beyond both ends, where the
// search gives NaN. At a base, a value reached twice, going up through 52000 or 79000 m, gives the
// lower altitude, and a value the model drops past gives the base.
TEST_P(Inverses, GiveTheLowestAltitudeOfAValue) {
  const Inverse& f = GetParam();
  const auto& layers = aero::atmosphereLayers;
  std::vector<double> altitudes{-1000.0, 0.0, 100000.0};
  int rises = 0, evaluations = 0;
  for (std::size_t i = 0; i < layers.size(); ++i) {
    const double base = layers[i].baseAltitude;
    const double top = i + 1 < layers.size() ? layers[i + 1].baseAltitude : aero::atmosphereUpperBound;
    altitudes.insert(altitudes.end(), {base + 10.0, 0.5 * (base + top), justBelow(top)});
    if (i + 1 == layers.size()) break;
    const double below = f.of(justBelow(top)), at = f.of(top);
    if (at > below) {
      ++rises;
      const double h = altitudeOf(f, at, evaluations);
      EXPECT_LT(h, top);
      EXPECT_NEAR(f.of(h), at, 1e-12 * at) << top;
    } else {
      EXPECT_EQ(altitudeOf(f, 0.5 * (at + below), evaluations), top);
    }
  }
  EXPECT_EQ(rises, 2);
  for (const double h : altitudes) {
    evaluations = 0;
    const double value = f.of(h), result = altitudeOf(f, value, evaluations);
    if (f.inverse == nullptr && (h < 0.0 || h > aero::atmosphereUpperBound)) {
      EXPECT_TRUE(std::isnan(result)) << h;
    } else {
      EXPECT_NEAR(result, h, 1e-9) << h;
      EXPECT_NEAR(f.of(result), value, 1e-12 * value) << h;
    }
    EXPECT_LE(evaluations, 30) << h;
  }
  EXPECT_TRUE(std::isnan(altitudeOf(f, std::numeric_limits<double>::quiet_NaN(), evaluations)));
  if (f.inverse != nullptr) {
    EXPECT_EQ(f.inverse(0.0), std::numeric_limits<double>::infinity());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Altitudes, Inverses,
    testing::Values(Inverse{"pressure", [](double h) { return aero::airState(h).pressure; }, aero::pressureAltitude},
                    Inverse{"density", [](double h) { return aero::airState(h).density; }, aero::densityAltitude},
                    Inverse{"warm day density", [](double h) { return aero::airState(h, 15.0).density; }, nullptr},
                    Inverse{"Reynolds number", reynolds, nullptr}));

// Hand-computed H = 6356766 Z / (6356766 + Z), which stays below the Earth's radius for the
// largest Z; geometricAltitude undoes it.
TEST(Altitudes, GeometricAltitudeBecomesGeopotentialAndBack) {
  EXPECT_EQ(aero::geopotentialAltitude(0.0), 0.0);
  EXPECT_DOUBLE_EQ(aero::geopotentialAltitude(11000.0), 10980.99804546838);
  EXPECT_DOUBLE_EQ(aero::geopotentialAltitude(20000.0), 19937.27227876952);
  EXPECT_DOUBLE_EQ(aero::geopotentialAltitude(88000.0), 86798.4047830441);
  EXPECT_DOUBLE_EQ(aero::geopotentialAltitude(-500.0), -500.03933126776);
  EXPECT_NEAR(aero::geopotentialAltitude(1e308), aero::earthRadius, 1e-9);
  for (const double z : {-1000.0, 0.0, 11000.0, 88000.0, 200000.0}) {
    EXPECT_NEAR(aero::geometricAltitude(aero::geopotentialAltitude(z)), z, 1e-9) << z;
  }
}

}  // namespace
