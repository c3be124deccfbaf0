#include "airspeed.h"

#include <cmath>
#include <limits>

namespace aero {

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

// Tt/T - 1 = 0.2 M^2 (ratio of specific heats 1.4) at a Mach number; NaN for a negative Mach.
double temperatureRise(double mach) {
  return mach >= 0.0 ? 0.2 * mach * mach : notANumber;
}

// pt/p - 1 of isentropic compression, (1 + 0.2 M^2)^3.5 - 1: expm1 and log1p keep the digits the
// subtraction would lose at low Mach.
double isentropicExcess(double mach) {
  return std::expm1(3.5 * std::log1p(temperatureRise(mach)));
}

// pt/p behind a normal shock (Rayleigh's pitot formula) at M^2 > 1:
// (1.2 M^2)^3.5 (2.4 / (2.8 M^2 - 0.4))^2.5, written as 1.2 M^2 (2.88 / (2.8 - 0.4 / M^2))^2.5 so
// that an infinite Mach gives an infinite ratio instead of inf * 0.
double shockPitotRatio(double machSquared) {
  return 1.2 * machSquared * std::pow(2.88 / (2.8 - 0.4 / machSquared), 2.5);
}

// Mach number above 1 whose shock pitot ratio is the one given. Newton's method on g = ln(pt/p) over
// v = ln M^2, where g is increasing and convex: from a start above the root every step goes down
// until rounding takes over, so the loop stops at the first step that does not go down, which also
// keeps it from cycling between neighbouring doubles. The step is taken on M^2 itself, as a factor
// (target / pt/p)^(1 / g'), so M^2 keeps its full relative precision at any size. The cap is never
// reached: from Mach 1 to 1e10 the loop runs at most 9 times, mostly 1 to 7.
double machBehindShock(double ratio) {
  // pt/p / M^2 falls towards this limit as M grows, so pt/p divided by it is M^2 or more.
  static const double ratioPerMachSquaredLimit = 1.2 * std::pow(2.88 / 2.8, 2.5);
  double machSquared = ratio / ratioPerMachSquaredLimit;
  for (int step = 0; step < 100; ++step) {
    const double slope = 1.0 - 1.0 / (2.8 * machSquared - 0.4);  // dg/dv
    const double next = machSquared * std::pow(ratio / shockPitotRatio(machSquared), 1.0 / slope);
    if (!(next < machSquared)) {
      break;
    }
    machSquared = next;
  }
  return std::sqrt(machSquared);
}

}  // namespace

double seaLevelSoundSpeed() {
  return std::sqrt(gammaGasConstant * seaLevelTemperature);
}

double impactPressure(double mach, double pressure) {
  const double excess = mach <= 1.0 ? isentropicExcess(mach) : shockPitotRatio(mach * mach) - 1.0;
  return pressure * excess;
}

double machFromImpactPressure(double impactPressure, double pressure) {
  static const double excessAtMachOne = isentropicExcess(1.0);
  // A negative ratio ends in the square root of a negative number, NaN. A NaN or infinite one stops
  // the iteration at its first step (the next value is NaN) and comes out as it went in.
  const double excess = impactPressure / pressure;
  if (excess <= excessAtMachOne) {
    return std::sqrt(5.0 * std::expm1(std::log1p(excess) / 3.5));
  }
  return machBehindShock(1.0 + excess);
}

double calibratedAirspeed(double impactPressure) {
  return seaLevelSoundSpeed() * machFromImpactPressure(impactPressure, seaLevelPressure);
}

double impactPressureOfCalibratedAirspeed(double calibratedAirspeed) {
  return impactPressure(calibratedAirspeed / seaLevelSoundSpeed(), seaLevelPressure);
}

double equivalentAirspeed(double trueAirspeed, double density) {
  return trueAirspeed * std::sqrt(density / seaLevelDensity);
}

double trueAirspeedOfEquivalent(double equivalentAirspeed, double density) {
  return equivalentAirspeed * std::sqrt(seaLevelDensity / density);
}

double totalPressure(double mach, double pressure) {
  return pressure * (1.0 + isentropicExcess(mach));
}

double totalTemperature(double mach, double temperature) {
  return temperature * (1.0 + temperatureRise(mach));
}

}  // namespace aero
