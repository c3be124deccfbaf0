#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "airspeed.h"

namespace {

constexpr double knot = 1852.0 / 3600.0;  // m/s
constexpr double foot = 0.3048;           // m

// The pitot-static reference table, rounded to its last digit: the two pitot formulas, CAS and EAS
// with the model's own a0 and rho0 (at sea level all three speeds are one), pt = p + qc below Mach 1
// only, and Tt = 1.8 T at Mach 2.
TEST(Airspeed, ReferenceTable) {
  struct Row {
    double feet, mach, tas, eas, cas, qc;  // kt, Pa
  };
  for (const Row& r :
       {Row{0, 0.5, 330.7394, 330.7394, 330.7394, 18867.996}, Row{10000, 0.6, 383.0001, 329.1314, 333.4471, 19197.669},
        Row{35000, 0.8, 461.1351, 256.7003, 271.9309, 12501.742},
        Row{0, 2.0, 1322.9575, 1322.9575, 1322.9575, 470192.665},
        Row{20000, 1.5, 921.4754, 672.6251, 721.4789, 112371.266},
        Row{50000, 2.0, 1147.1387, 447.5764, 532.1381, 53816.879}}) {
    SCOPED_TRACE(testing::Message() << r.feet << " ft, Mach " << r.mach);
    const aero::AirState air = aero::airState(r.feet * foot);
    const double tas = r.mach * air.soundSpeed;
    const double qc = aero::impactPressure(r.mach, air.pressure);
    const double eas = aero::equivalentAirspeed(tas, air.density);
    const double cas = aero::calibratedAirspeed(qc);
    EXPECT_NEAR(tas / knot, r.tas, 5e-5);
    EXPECT_NEAR(eas / knot, r.eas, 5e-5);
    EXPECT_NEAR(cas / knot, r.cas, 5e-5);
    EXPECT_NEAR(qc, r.qc, 5e-4);
    EXPECT_NEAR(aero::trueAirspeedOfEquivalent(eas, air.density), tas, 1e-12 * tas);
    if (r.feet == 0) {
      EXPECT_NEAR(cas, tas, 1e-12 * tas);
      EXPECT_NEAR(eas, tas, 1e-12 * tas);
    }
    const double shockLoss = aero::totalPressure(r.mach, air.pressure) - air.pressure - qc;
    EXPECT_TRUE(r.mach < 1 ? std::abs(shockLoss) < 1e-9 * qc : shockLoss > 0.01 * qc) << shockLoss;
  }
  EXPECT_DOUBLE_EQ(aero::totalTemperature(2.0, 250.0), 450.0);
}

// The known figures: 250 KCAS at 10,000 ft and 300 KCAS at 30,000 ft, through CAS -> qc -> Mach.
TEST(Airspeed, CalibratedToMachAtAltitude) {
  const aero::AirState at10000 = aero::airState(10000 * foot);
  const double mach =
      aero::machFromImpactPressure(aero::impactPressureOfCalibratedAirspeed(250 * knot), at10000.pressure);
  EXPECT_NEAR(mach, 0.452274, 5e-7);
  EXPECT_NEAR(mach * at10000.soundSpeed / knot, 288.702, 5e-4);
  EXPECT_NEAR(aero::machFromImpactPressure(aero::impactPressureOfCalibratedAirspeed(300 * knot),
                                           aero::airState(30000 * foot).pressure),
              0.790632, 5e-7);
}

// Mach -> CAS -> Mach and CAS -> Mach -> CAS to 1e-12 from Mach 0.01 to 10, at exactly Mach 1 and
// CAS = a0 and on both sides of each; 4e5 Pa puts a subsonic Mach on the supersonic CAS branch.
TEST(Airspeed, RoundTripsToTwelveDigits) {
  std::vector<double> machs{1.0, std::nextafter(1.0, 0.0), std::nextafter(1.0, 2.0), 10.0};
  for (double m = 0.01; m < 10.0; m *= 1.05) {
    machs.push_back(m);
  }
  for (const double p : {aero::seaLevelPressure, 26500.0, 1200.0, 4e5}) {
    for (const double m : machs) {
      const double cas = aero::calibratedAirspeed(aero::impactPressure(m, p));
      EXPECT_NEAR(aero::machFromImpactPressure(aero::impactPressureOfCalibratedAirspeed(cas), p), m, 1e-12 * m)
          << p << " Pa";
      const double casIn = m * aero::seaLevelSoundSpeed();
      const double mach = aero::machFromImpactPressure(aero::impactPressureOfCalibratedAirspeed(casIn), p);
      EXPECT_NEAR(aero::calibratedAirspeed(aero::impactPressure(mach, p)), casIn, 1e-12 * casIn) << p << " Pa";
    }
  }
}

// Both pitot formulas give 1.2^3.5 at Mach 1; at Mach 1e-4, qc/p = 0.7 M^2 (1 + M^2 / 4) keeps
// every digit that (1 + 0.2 M^2)^3.5 - 1 would lose.
TEST(Airspeed, PitotRatioAtMachOneAndAtLowMach) {
  EXPECT_NEAR(aero::impactPressure(1.0, 1.0) + 1, 1.89292916, 5e-9);
  EXPECT_NEAR(aero::impactPressure(std::nextafter(1.0, 2.0), 1.0), aero::impactPressure(1.0, 1.0), 1e-15);
  EXPECT_NEAR(aero::impactPressure(1e-4, 1.0), 0.7e-8 * (1 + 0.25e-8), 1e-14 * 0.7e-8);
}

// NaN stays NaN without hanging the iteration, a negative impact pressure or Mach is NaN, infinity
// and 0 map to themselves.
TEST(Airspeed, ZeroNegativeAndNonFiniteInputs) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(std::isnan(aero::machFromImpactPressure(std::numeric_limits<double>::quiet_NaN(), 1.0)));
  EXPECT_TRUE(std::isnan(aero::machFromImpactPressure(-1.0, 1.0)));
  EXPECT_TRUE(std::isnan(aero::impactPressure(-0.5, 1.0)));
  EXPECT_EQ(aero::machFromImpactPressure(inf, 1.0), inf);
  EXPECT_EQ(aero::impactPressure(inf, 1.0), inf);
  EXPECT_EQ(aero::impactPressure(0.0, 1.0), 0.0);
  EXPECT_EQ(aero::machFromImpactPressure(0.0, 1.0), 0.0);
}

}  // namespace
