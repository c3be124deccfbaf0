#include <cmath>
#include <limits>
#include <tuple>

#include <gtest/gtest.h>

#include "airspeed.h"

namespace {

constexpr double knot = 1852.0 / 3600.0;  // m/s
constexpr double foot = 0.3048;           // m

// The pitot-static reference table to its last digit; at sea level the model's a0 and rho0 make
// TAS, EAS and CAS one speed. A pitot reads the total pressure below Mach 1 only.
TEST(Airspeed, ReferenceTable) {
  struct Row {
    double feet, mach, eas, cas, qc;  // kt, Pa
  };
  for (const Row& r :
       {Row{0, 0.5, 330.7394, 330.7394, 18867.996}, Row{10000, 0.6, 329.1314, 333.4471, 19197.669},
        Row{35000, 0.8, 256.7003, 271.9309, 12501.742}, Row{0, 2.0, 1322.9575, 1322.9575, 470192.665},
        Row{20000, 1.5, 672.6251, 721.4789, 112371.266}, Row{50000, 2.0, 447.5764, 532.1381, 53816.879}}) {
    SCOPED_TRACE(testing::Message() << r.feet << " ft, Mach " << r.mach);
    const aero::AirState air = aero::airState(r.feet * foot);
    const double tas = r.mach * air.soundSpeed;
    const double qc = aero::impactPressure(r.mach, air.pressure);
    const double eas = aero::equivalentAirspeed(tas, air.density);
    const double cas = aero::calibratedAirspeed(qc);
    EXPECT_NEAR(qc, r.qc, 5e-4);
    EXPECT_NEAR(eas / knot, r.eas, 5e-5);
    EXPECT_NEAR(cas / knot, r.cas, 5e-5);
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

// 250 KCAS at 10,000 ft and 300 KCAS at 30,000 ft, through CAS -> qc -> Mach.
TEST(Airspeed, MachOfKnownCalibratedAirspeeds) {
  for (const auto& [feet, kcas, mach] : {std::tuple{10000, 250, 0.452274}, std::tuple{30000, 300, 0.790632}}) {
    const double qc = aero::impactPressureOfCalibratedAirspeed(kcas * knot);
    EXPECT_NEAR(aero::machFromImpactPressure(qc, aero::airState(feet * foot).pressure), mach, 5e-7) << kcas << " KCAS";
  }
}

// Mach -> CAS -> Mach and CAS -> Mach -> CAS to 1e-12, at exactly Mach 1 and CAS = a0 and on both
// sides of each (at 4e5 Pa a subsonic Mach has a supersonic CAS); Mach 0 comes back exactly.
TEST(Airspeed, RoundTripsToTwelveDigits) {
  for (const double p : {aero::seaLevelPressure, 26500.0, 1200.0, 4e5}) {
    for (const double m :
         {0.0, 0.01, 0.3, 0.9, std::nextafter(1.0, 0.0), 1.0, std::nextafter(1.0, 2.0), 1.01, 1.5, 2.2, 4.0, 10.0}) {
      const double cas = aero::calibratedAirspeed(aero::impactPressure(m, p));
      EXPECT_NEAR(aero::machFromImpactPressure(aero::impactPressureOfCalibratedAirspeed(cas), p), m, 1e-12 * m) << p;
      const double casIn = m * aero::seaLevelSoundSpeed();
      const double mach = aero::machFromImpactPressure(aero::impactPressureOfCalibratedAirspeed(casIn), p);
      EXPECT_NEAR(aero::calibratedAirspeed(aero::impactPressure(mach, p)), casIn, 1e-12 * casIn) << p;
    }
  }
}

// Both pitot formulas give 1.2^3.5 at Mach 1; NaN ends the iteration as NaN; a negative impact
// pressure or Mach is NaN.
TEST(Airspeed, MachOneAndNanAndNegativeInputs) {
  EXPECT_NEAR(aero::impactPressure(1.0, 1.0) + 1, 1.89292916, 5e-9);
  EXPECT_NEAR(aero::impactPressure(std::nextafter(1.0, 2.0), 1.0) + 1, 1.89292916, 5e-9);
  EXPECT_TRUE(std::isnan(aero::machFromImpactPressure(std::numeric_limits<double>::quiet_NaN(), 1.0)));
  EXPECT_TRUE(std::isnan(aero::machFromImpactPressure(-1.0, 1.0)));
  EXPECT_TRUE(std::isnan(aero::impactPressure(-0.5, 1.0)));
}

}  // namespace
