#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "airspeed.h"
#include "atmosphere.h"
#include "condition.h"
#include "reference_values.h"

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
  // The air of a geometric altitude is that of its geopotential altitude: below the tropopause
  // there, warmer than 216.65 K.
  setup.geometric = true;
  aero::Row row = defaults();
  aero::computeRow(row, setup);
  EXPECT_NEAR(row[densityAltitude], row[altitude], 1e-9 * row[altitude]);
  EXPECT_EQ(row[altitude], 11000.0);
  EXPECT_DOUBLE_EQ(row[geopotentialAltitude], 10980.99804546838);
  EXPECT_DOUBLE_EQ(row[temperature], 288.15 - 0.0065 * 10980.99804546838);
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

// The window's outputs of a value set, in the table's column order.
std::array<double, 11> windowOutputs(const aero::ReferenceValueSet& v) {
  return {v.liftCoefficient,    v.reynolds, v.velocity, v.soundSpeed,      v.temperature,   v.viscosity,
          v.kinematicViscosity, v.density,  v.pressure, v.dynamicPressure, v.referenceForce};
}

TEST(Rows, AtAStandardDayEqualTheWindowsComputationBitForBit) {
  std::mt19937_64 random(9);
  std::uniform_real_distribution<double> altitudes(-5000.0, 120000.0);
  std::uniform_real_distribution<double> positive(0.0, 100.0);
  for (int i = 0; i < 20000; ++i) {
    aero::ReferenceValueSet v;
    v.setDefaults();
    if (i > 0) {
      v.mach = positive(random) / 20;
      v.altitude = i % 10 == 0 ? 11000.0 * (i % 9) : altitudes(random);
      v.loadFactor = positive(random) / 10;
      v.weight = positive(random) * 5;
      v.refLength = positive(random);
      v.refArea = positive(random) * 3;
    }
    aero::Row row{};
    row[mach] = v.mach;
    row[altitude] = v.altitude;
    row[loadFactor] = v.loadFactor;
    row[weight] = v.weight;
    row[refLength] = v.refLength;
    row[refArea] = v.refArea;
    aero::computeRow(row, aero::Setup{});
    v.computeReferenceValues();
    const std::array<double, 11> expected = windowOutputs(v);
    ASSERT_EQ(std::memcmp(&row[liftCoefficient], expected.data(), sizeof expected), 0)
        << "mach " << v.mach << " altitude " << v.altitude;
    ASSERT_EQ(row[geopotentialAltitude], v.altitude);
  }
}

// Solved, a row reaches its target: within 1e-12 through the closed forms, 1e-9 through the search,
// in every layer, at a Mach number and at a true airspeed, on a standard and a warm day.
TEST(Solve, TheSolutionReachesTheTargetInEveryLayer) {
  for (const Column speed : {mach, tas}) {
    for (const double offset : {0.0, 15.0}) {
      for (const double height : {500.0, 15000.0, 25000.0, 40000.0, 50000.0, 57000.0, 70000.0, 85000.0}) {
        aero::Setup forward;
        forward.speed = speed;
        aero::Row row = defaults();
        row[altitude] = height;
        row[loadFactor] = 2;
        row[isaOffset] = offset;
        row[tas] = 250.0;
        aero::computeRow(row, forward);
        const Column targets[] = {liftCoefficient, reynolds, dynamicPressure, pressure, density};
        for (const Column target : targets) {
          for (const Column unknown : {mach, altitude}) {
            if (unknown == mach && (speed == tas || target == pressure || target == density)) {
              continue;
            }
            SCOPED_TRACE(testing::Message()
                         << aero::columnKinds[speed].name << " " << offset << " K " << height << " m, solving for "
                         << aero::columnKinds[unknown].name << " to " << aero::columnKinds[target].name);
            aero::Setup solving = forward;
            solving.unknown = unknown;
            solving.target = target;
            aero::Row asked = row;
            asked[unknown] = notANumber;
            aero::computeRow(asked, solving);
            const bool closed =
                unknown == mach || target == pressure || (speed == mach && target != reynolds && target != density);
            EXPECT_NEAR(asked[target], row[target], (closed ? 1e-12 : 1e-9) * row[target]);
            EXPECT_NEAR(asked[unknown], row[unknown], 1e-6 * row[unknown]);
          }
        }
      }
    }
  }
}

}  // namespace
