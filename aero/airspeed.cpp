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
// (1.2 M^2)^3.5 (2.4 / (2.8 M^2 - 0.4))^2.5, written as 1.2 M^2 y^2.5 with y = 2.88 / (2.8 - 0.4 / M^2)
// so that an infinite Mach gives an infinite ratio instead of inf * 0, and the power as y^2 sqrt(y).
double shockPitotRatio(double machSquared) {
  const double y = 2.88 / (2.8 - 0.4 / machSquared);
  return 1.2 * machSquared * y * y * std::sqrt(y);
}

// Mach number above 1 whose shock pitot ratio is the one given, by Newton's method on M^2. The start
// solves the expansion pt/p = L (M^2 + 5/14 + (5/56) / M^2 + ...) for M^2 (L the limit of pt/p / M^2
// as M grows), 3 % above the root at Mach 1 and closer as M grows; the ratio is convex in M^2, so
// every step goes down until rounding takes over. The convergence is quadratic: once a step is below
// 1e-9 of M^2 the next would be below its last digit, so the loop ends there, or at the first step
// that does not go down, which also keeps a NaN or infinite ratio as it went in. From Mach 1 to 1e10
// it takes 3 steps, at most 4.
double machBehindShock(double ratio) {
  static const double ratioPerMachSquaredLimit = 1.2 * std::pow(2.88 / 2.8, 2.5);
  double machSquared = ratio / ratioPerMachSquaredLimit - 5.0 / 14.0;
  machSquared -= (5.0 / 56.0) / machSquared;
  for (int step = 0; step < 100; ++step) {
    // With d = 2.8 M^2 - 0.4: y = 2.88 M^2 / d, and d ln f / d ln M^2 = (d - 1) / d.
    const double d = 2.8 * machSquared - 0.4;
    const double y = 2.88 * machSquared / d;
    const double f = 1.2 * machSquared * y * y * std::sqrt(y);
    const double next = machSquared - machSquared * d * (f - ratio) / (f * (d - 1.0));
    if (!(next < machSquared)) break;
    const bool converged = machSquared - next < 1e-9 * next;
    machSquared = next;
    if (converged) break;
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

double machFromCalibratedAirspeed(double calibratedAirspeed, double impactPressure, double pressure) {
  if (pressure == seaLevelPressure) return calibratedAirspeed / seaLevelSoundSpeed();
  return machFromImpactPressure(impactPressure, pressure);
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
