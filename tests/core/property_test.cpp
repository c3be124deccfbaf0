#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "atmosphere.h"
#include "reference_values.h"

namespace {

using aero::ReferenceValueSet;

// Ordinary range of each input, in the order mach, altitude, weight, refLength, refArea, loadFactor.
constexpr std::array<std::array<double, 2>, 6> ordinary{
    {{1e-3, 5.0}, {0.0, 87999.0}, {0.1, 1000.0}, {0.01, 100.0}, {0.1, 1000.0}, {0.1, 10.0}}};
constexpr std::array<double ReferenceValueSet::*, 6> inputs{
    &ReferenceValueSet::mach,      &ReferenceValueSet::altitude, &ReferenceValueSet::weight,
    &ReferenceValueSet::refLength, &ReferenceValueSet::refArea,  &ReferenceValueSet::loadFactor};

// Draws mostly ordinary values, otherwise one of the awkward kinds; reports whether it was ordinary.
double draw(std::mt19937_64& random, std::size_t input, bool& isOrdinary) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  constexpr double denormal = std::numeric_limits<double>::denorm_min();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::array<double, 9> awkward{-1.0, -1e5, 0.0, -0.0, denormal, 1e300, inf, -inf, nan};
  isOrdinary = std::uniform_real_distribution<double>(0.0, 1.0)(random) < 0.7;
  if (isOrdinary) {
    return std::uniform_real_distribution<double>(ordinary[input][0], ordinary[input][1])(random);
  }
  return awkward[std::uniform_int_distribution<std::size_t>(0, awkward.size() - 1)(random)];
}

void expectRelative(double actual, double expected, double tolerance, const char* what) {
  EXPECT_LE(std::fabs(actual - expected), tolerance * std::fabs(expected))
      << what << ": " << actual << " vs " << expected;
}

TEST(ReferenceValueProperties, AnyInputsCompleteAndOrdinaryInputsAgreeWithThePhysics) {
  constexpr int cases = 200000;
  std::mt19937_64 random(20240611);
  int ordinaryCases = 0;
  for (int n = 0; n < cases && !HasFailure(); ++n) {
    ReferenceValueSet v;
    bool allOrdinary = true;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      bool isOrdinary = false;
      v.*inputs[i] = draw(random, i, isOrdinary);
      allOrdinary = allOrdinary && isOrdinary;
    }
    ASSERT_LT(aero::atmosphereLayerIndex(v.altitude), aero::atmosphereLayers.size()) << v.altitude;
    v.computeReferenceValues();
    if (!allOrdinary) {
      continue;
    }
    ++ordinaryCases;
    SCOPED_TRACE("case " + std::to_string(n) + " at " + std::to_string(v.altitude) + " m, Mach " +
                 std::to_string(v.mach));
    // 0.5 rho a^2 is 0.7 p, since a^2 = 1.4 R T and rho = p / (R T); the rounding stays below 1e-15.
    expectRelative(v.dynamicPressure, 0.7 * v.pressure * v.mach * v.mach, 1e-14, "dynamic pressure");
    expectRelative(v.reynolds, v.velocity * v.refLength / v.kinematicViscosity, 1e-15, "Reynolds number");
    expectRelative(v.liftCoefficient * v.referenceForce, v.loadFactor * v.weight * 9800.0, 1e-15, "lift");
    EXPECT_GE(v.temperature, 180.65);
    EXPECT_LE(v.temperature, 288.15);
    // The rounded base pressures make pressure jump up by up to 2.4e-4 at a layer base, which the
    // gradient outweighs within a few metres; 10 m apart is always a fall.
    const double higher = v.altitude + std::uniform_real_distribution<double>(10.0, 20000.0)(random);
    if (higher < aero::atmosphereUpperBound) {
      double pressure = 0.0, temperature = 0.0, density = 0.0;
      aero::standardAtmosphere(higher, pressure, temperature, density);
      EXPECT_LT(pressure, v.pressure) << higher << " m";
      EXPECT_LT(density, v.density) << higher << " m";
    }
  }
  RecordProperty("cases", cases);
  RecordProperty("ordinaryCases", ordinaryCases);
  std::printf("%d generated cases, %d of them with every input ordinary\n", cases, ordinaryCases);
}

}  // namespace
