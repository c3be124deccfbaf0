#include <cmath>
#include <limits>
#include <ostream>
#include <utility>

#include <gtest/gtest.h>

#include "atmosphere.h"

namespace {

struct Air {
  double pressure, temperature, density;
};

Air airAt(double altitude) {
  Air air{};
  aero::standardAtmosphere(altitude, air.pressure, air.temperature, air.density);
  return air;
}

// Known values inside each layer; 0 marks a value that is not checked.
struct LayerPoint {
  double altitude;
  std::size_t layer;
  double pressure;
  double temperature;
  double density;
};

void PrintTo(const LayerPoint& p, std::ostream* os) {
  *os << p.altitude << " m";
}

class LayerInterior : public testing::TestWithParam<LayerPoint> {};

TEST_P(LayerInterior, MatchesKnownValuesToSixDigits) {
  const LayerPoint& p = GetParam();
  EXPECT_EQ(aero::atmosphereLayerIndex(p.altitude), p.layer);
  const Air air = airAt(p.altitude);
  for (const auto& [actual, expected] : {std::pair{air.pressure, p.pressure}, std::pair{air.temperature, p.temperature},
                                         std::pair{air.density, p.density}}) {
    if (expected != 0.0) {
      EXPECT_NEAR(actual, expected, 5e-6 * expected) << "at " << p.altitude << " m";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layers, LayerInterior,
    testing::Values(LayerPoint{0.0, 0, 101325.0, 288.15, 1.225}, LayerPoint{10999.5, 0, 0.0, 216.65325, 0.0},
                    LayerPoint{11000.0, 1, 22632.04, 216.65, 0.363917},
                    LayerPoint{25000.0, 2, 2511.05, 221.65, 0.0394662}, LayerPoint{40000.0, 3, 0.0, 251.05, 0.0},
                    LayerPoint{50000.0, 4, 75.9409, 270.65, 0.0}, LayerPoint{55000.0, 5, 0.0, 264.65, 0.0},
                    LayerPoint{70000.0, 6, 4.89925, 216.65, 0.0},
                    LayerPoint{85000.0, 7, 0.33375, 180.65, 6.43608e-06}));

TEST(Atmosphere, BaseValuesAreExactAndJustBelowTheBaseIsTheLayerUnder) {
  EXPECT_GT(airAt(10999.5).pressure, 22632.04);
  for (std::size_t i = 1; i < aero::atmosphereLayers.size(); ++i) {
    const aero::AtmosphereLayer& layer = aero::atmosphereLayers[i];
    const double below = std::nextafter(layer.baseAltitude, 0.0);
    EXPECT_EQ(aero::atmosphereLayerIndex(layer.baseAltitude), i);
    EXPECT_EQ(aero::atmosphereLayerIndex(below), i - 1);
    const Air under = airAt(below);
    const Air at = airAt(layer.baseAltitude);
    EXPECT_DOUBLE_EQ(at.pressure, layer.basePressure);
    EXPECT_DOUBLE_EQ(at.temperature, layer.baseTemperature);
    EXPECT_NEAR(under.temperature, at.temperature, 1e-9) << "at " << layer.baseAltitude << " m";
    // The tabulated base pressures are rounded, so the layer below lands near them, not on them.
    EXPECT_NEAR(under.pressure, layer.basePressure, 3e-4 * layer.basePressure) << "at " << layer.baseAltitude << " m";
  }
}

TEST(Atmosphere, OutsideTheTableTheEndLayersContinue) {
  EXPECT_EQ(aero::atmosphereLayerIndex(-500.0), 0U);
  EXPECT_NEAR(airAt(-500.0).temperature, 291.4, 1e-9);
  EXPECT_GT(airAt(-500.0).pressure, 101325.0);
  const Air top = airAt(aero::atmosphereUpperBound);
  EXPECT_NEAR(top.pressure, airAt(std::nextafter(aero::atmosphereUpperBound, 0.0)).pressure, 1e-12);
  for (const double altitude : {aero::atmosphereUpperBound, 100000.0, 1e6}) {
    EXPECT_EQ(aero::atmosphereLayerIndex(altitude), 7U);
    EXPECT_EQ(airAt(altitude).temperature, 180.65);
  }
  EXPECT_LT(airAt(100000.0).pressure, top.pressure);
  EXPECT_LT(airAt(100000.0).density, top.density);
}

TEST(Atmosphere, NanAltitudeGivesNanResults) {
  const Air air = airAt(std::numeric_limits<double>::quiet_NaN());
  EXPECT_TRUE(std::isnan(air.pressure));
  EXPECT_TRUE(std::isnan(air.temperature));
  EXPECT_TRUE(std::isnan(air.density));
}

TEST(Atmosphere, ExtremeAltitudesStayInsideTheTable) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  const double denormal = std::numeric_limits<double>::denorm_min();
  for (const double altitude :
       {std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1e308, -1e308, -0.0, denormal, -denormal}) {
    EXPECT_LT(aero::atmosphereLayerIndex(altitude), aero::atmosphereLayers.size()) << altitude;
    airAt(altitude);
  }
  EXPECT_EQ(aero::atmosphereLayerIndex(inf), 7U);
  EXPECT_EQ(airAt(inf).pressure, 0.0);
  EXPECT_EQ(airAt(-0.0).pressure, 101325.0);
  EXPECT_EQ(airAt(-denormal).temperature, 288.15);
}

TEST(Atmosphere, IsaOffsetKeepsThePressureAndTakesEverythingElseFromTheNewTemperature) {
  // Hand-computed: rho = p / (287.053 T), mu = 1.458e-6 T^1.5 / (T + 110.4), a = sqrt(1.4 * 287.053 T).
  const aero::AirState hot = aero::airState(11000.0, 15.0);
  EXPECT_EQ(hot.pressure, 22632.04);
  EXPECT_DOUBLE_EQ(hot.temperature, 231.65);
  EXPECT_DOUBLE_EQ(hot.density, 0.34035278404524916);
  EXPECT_DOUBLE_EQ(hot.viscosity, 1.5028525966086723e-05);
  EXPECT_DOUBLE_EQ(hot.soundSpeed, 305.11335341148214);
  const aero::AirState cold = aero::airState(0.0, -20.0);
  EXPECT_EQ(cold.pressure, 101325.0);
  EXPECT_DOUBLE_EQ(cold.temperature, 268.15);
  EXPECT_DOUBLE_EQ(cold.density, 1.3163661956513981);
  EXPECT_DOUBLE_EQ(cold.viscosity, 1.691223386164368e-05);
  EXPECT_DOUBLE_EQ(cold.soundSpeed, 328.27209252386956);
}

}  // namespace
