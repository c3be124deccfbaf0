#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "airspeed.h"
#include "atmosphere.h"
#include "condition.h"

namespace {

using namespace aero::col;
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

// The window's first inputs on a standard day.
aero::Row defaults() {
  aero::Row row{};
  for (const Column c : {mach, altitude, loadFactor, weight, refLength, refArea}) {
    row[c] = aero::defaultValue(c, aero::defaultUnits());
  }
  return row;
}

// A solve succeeds only where the row computed from its answer meets the target, however large the
// target, and the target column keeps the target exactly as asked.
TEST(Solve, SucceedsOnlyWhereItsRowMeetsTheTarget) {
  const double drop = 0.5 * (aero::airState(20000.0).pressure + aero::airState(std::nextafter(20000.0, 0.0)).pressure);
  const struct {
    const char* what;
    Column unknown, target;
    double value;
    Column changed;
    double to;
    double solution;  // NaN: none; infinity: any finite one
  } cases[] = {
      {"load factor 0", mach, liftCoefficient, 0.5, loadFactor, 0.0, notANumber},
      {"weight 0", mach, liftCoefficient, 0.5, weight, 0.0, notANumber},
      {"area 0", mach, liftCoefficient, 0.5, refArea, 0.0, notANumber},
      {"length 0", mach, reynolds, 2e7, refLength, 0.0, notANumber},
      {"S CL beyond the largest double", mach, liftCoefficient, 1e308, refArea, 56.0, INFINITY},
      {"2 q beyond the largest double", mach, dynamicPressure, 1e308, refArea, 56.0, INFINITY},
      {"a target that is no round decimal", mach, liftCoefficient, 0.1 + 0.2, refArea, 56.0, INFINITY},
      {"a pressure above sea level's", altitude, pressure, 2e5, refArea, 56.0, notANumber},
      {"a pressure inside the drop at 20000 m", altitude, pressure, drop, refArea, 56.0, 20000.0},
  };
  for (const auto& c : cases) {
    aero::Setup setup;
    setup.unknown = c.unknown;
    setup.target = c.target;
    aero::Row row = defaults();
    row[c.changed] = c.to;
    row[c.target] = c.value;
    aero::computeRow(row, setup);
    if (std::isinf(c.solution)) {
      EXPECT_TRUE(std::isfinite(row[c.unknown]) && row[c.unknown] > 0.0) << c.what << ": " << row[c.unknown];
    } else if (std::isnan(c.solution)) {
      EXPECT_TRUE(std::isnan(row[c.unknown])) << c.what << ": " << row[c.unknown];
    } else {
      EXPECT_EQ(row[c.unknown], c.solution) << c.what;
    }
    EXPECT_EQ(row[c.target], c.value) << c.what;
  }
}

// A geometric altitude solved for, in feet, reads back in the solution's layer: at each layer base
// the altitude as written, computed forward again, gives the base's pressure.
TEST(Solve, GeometricAltitudesInFeetReadBackInTheirLayer) {
  for (const aero::AtmosphereLayer& layer : aero::atmosphereLayers) {
    aero::Setup setup;
    setup.unknown = altitude;
    setup.target = pressure;
    setup.geometric = true;
    setup.units[static_cast<std::size_t>(aero::Quantity::altitude)] = aero::units[2];
    aero::Row row = defaults();
    const double target = aero::airState(layer.baseAltitude).pressure;
    row[pressure] = target;
    aero::computeRow(row, setup);
    ASSERT_TRUE(std::isfinite(row[altitude])) << layer.baseAltitude;
    setup.unknown = setup.target = columnCount;
    aero::computeRow(row, setup);
    EXPECT_NEAR(row[pressure], target, 1e-12 * target) << layer.baseAltitude;
  }
}

// Where a speed is given as CAS, at sea level on a standard day the Mach number is CAS / a0 and the
// TAS the CAS, bit for bit; and under --geometric the density altitude is geometric like the
// altitude beside it.
TEST(Rows, CasIsTasAtSeaLevelAndDensityAltitudeFollowsTheAltitudesScale) {
  aero::Setup setup;
  setup.speed = cas;
  for (const double speed : {1.0, 50.0, 123.456, aero::seaLevelSoundSpeed(), 500.0, 1234.5}) {
    aero::Row row = defaults();
    row[altitude] = 0.0;
    row[cas] = speed;
    aero::computeRow(row, setup);
    EXPECT_EQ(row[tas], speed);
    EXPECT_EQ(row[mach], speed / aero::seaLevelSoundSpeed());
  }
  setup.geometric = true;
  aero::Row row = defaults();
  aero::computeRow(row, setup);
  EXPECT_NEAR(row[densityAltitude], row[altitude], 1e-9 * row[altitude]);
  EXPECT_NEAR(aero::geopotentialAltitude(1e308), aero::earthRadius, 1e-9);
}

// Down to the coldest offset a search takes, every quantity an altitude is searched for falls with
// altitude inside each layer, so the lowest altitude with a value is the one the search finds.
TEST(Solve, SearchedQuantitiesFallInsideEachLayerDownToTheColdestOffset) {
  const struct {
    Column speed;
    double value;
    Column quantity;
  } cases[] = {{mach, 0.8, density},   {mach, 0.8, reynolds},  {tas, 250.0, reynolds}, {tas, 250.0, dynamicPressure},
               {eas, 150.0, reynolds}, {cas, 150.0, reynolds}, {cas, 600.0, reynolds}};
  for (const auto& c : cases) {
    for (const double offset : {aero::coldestSearchedOffset, 0.0, 60.0}) {
      aero::Setup setup;
      setup.speed = c.speed;
      double previous = INFINITY;
      for (double h = 0.0; h <= aero::atmosphereUpperBound; h += 20.0) {
        aero::Row row = defaults();
        row[c.speed] = c.value;
        row[altitude] = h;
        row[isaOffset] = offset;
        aero::computeRow(row, setup);
        const bool base = aero::atmosphereLayers[aero::atmosphereLayerIndex(h)].baseAltitude == h;
        ASSERT_TRUE(base || row[c.quantity] < previous)
            << aero::columnKinds[c.quantity].name << " at " << aero::columnKinds[c.speed].name << " " << c.value << ", "
            << offset << " K, " << h << " m";
        previous = row[c.quantity];
      }
    }
  }
}

}  // namespace
