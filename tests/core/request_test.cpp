#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "request.h"

namespace {

using namespace aero::col;
using aero::Fault;

// A list's suffixes choose the units where the call leaves them free, and must agree with the
// chosen ones where the call fixed them; either way one quantity has one unit.
TEST(ColumnList, UnitsFollowTheSuffixesOrMustMatchTheChosenOnes) {
  aero::Units knots = aero::defaultUnits();
  knots[static_cast<std::size_t>(aero::Quantity::speed)] = aero::units[5];
  const struct {
    const char* list;
    bool fixed;
    bool geometric;
    Fault fault;
    const char* speedUnit;  // of the choice, where taken
  } cases[] = {
      {"cas_kt, tas_kt", false, false, Fault::none, "kt"},
      {"cas, tas", false, false, Fault::none, "m/s"},
      {"cas_kt,tas", false, false, Fault::twoUnits, ""},
      {"altitude_ft,geopotential_altitude_km", false, false, Fault::twoUnits, ""},
      {"cas,tas_kt", true, false, Fault::none, "kt"},
      {"cas_kmh", true, false, Fault::unitNotChosen, ""},
      {"geometric_altitude", true, false, Fault::unknownName, ""},
      {"geometric_altitude_ft", false, true, Fault::none, "m/s"},
      {"mach_kt", false, false, Fault::foreignSuffix, ""},
      {"mach, ", false, false, Fault::emptyName, ""},
      {"altitude,altitude_ft", false, false, Fault::twoUnits, ""},
      {"altitude_ft,altitude_ft", false, false, Fault::repeatedColumn, ""},
  };
  for (const auto& c : cases) {
    const std::vector<std::string_view> names = aero::splitList(c.list);
    const aero::ColumnChoice choice =
        aero::chooseColumns(&names, {mach, c.geometric, c.fixed ? knots : aero::defaultUnits(), c.fixed});
    EXPECT_EQ(choice.issue.fault, c.fault) << c.list;
    if (c.fault == Fault::none) {
      EXPECT_EQ(choice.units[static_cast<std::size_t>(aero::Quantity::speed)].name, c.speedUnit) << c.list;
    }
  }
  const std::vector<std::string_view> clash = aero::splitList("cas_kt , tas");
  const aero::Issue issue = aero::chooseColumns(&clash, {mach, false, aero::defaultUnits(), false}).issue;
  EXPECT_EQ(issue.name, "tas");
  EXPECT_EQ(issue.otherName, "cas_kt");
}

// The columns given pose a solve one by one: each clash names the column given and the one before
// (the default Mach number where no speed was given).
TEST(Pose, RefusesEachColumnThatDoesNotFit) {
  const struct {
    Column unknown;
    std::vector<Column> given;
    Fault fault;
    Column column, other;
  } cases[] = {
      {columnCount, {densityAltitude}, Fault::notAnInput, densityAltitude, columnCount},
      {columnCount, {tas, cas}, Fault::twoSpeeds, cas, tas},
      {columnCount, {altitude, weight, altitude}, Fault::givenTwice, altitude, columnCount},
      {altitude, {pressure, density}, Fault::twoTargets, density, pressure},
      {altitude, {eas, liftCoefficient}, Fault::notPosed, liftCoefficient, eas},
      {mach, {pressure}, Fault::notPosed, pressure, mach},
      {altitude, {cas, reynolds}, Fault::none, columnCount, columnCount},
  };
  for (const auto& c : cases) {
    aero::Pose pose;
    pose.unknown = c.unknown;
    aero::Issue issue;
    for (const Column column : c.given) {
      if ((issue = aero::give(pose, column))) break;
    }
    if (!issue) issue = aero::checkPose(pose);
    EXPECT_EQ(issue.fault, c.fault) << aero::columnKinds[c.given.back()].name;
    EXPECT_EQ(issue.column, c.column) << aero::columnKinds[c.given.back()].name;
    EXPECT_EQ(issue.other, c.other) << aero::columnKinds[c.given.back()].name;
  }
}

// A misspelled name gets the nearest names only, a name far from all gets none.
TEST(NearestNames, OnlyTheNearestOnesAndNoneForNamesFarFromAll) {
  const std::vector<std::string> names = aero::namesOf(aero::allColumns(mach));
  const struct {
    const char* name;
    std::vector<std::string> nearest;
  } cases[] = {
      {"cas_kts", {"cas_kt"}},
      {"altitud", {"altitude"}},
      {"ALTITUDE_FT", {"altitude_ft"}},
      {"lift", {"lift_coefficient"}},
      {"rynolds", {"reynolds"}},
      {"speed", {}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(aero::nearestNames(c.name, names), c.nearest) << c.name;
}

// A conversion keeps a value already in its unit exactly, and reports only a finite value that
// overflows.
TEST(Convert, KeepsValuesInTheirUnitAndReportsOverflow) {
  const double kt = aero::conversionFactor(aero::units[4], aero::units[5]);
  const struct {
    double value, factor;
    bool converted;
  } cases[] = {{0.1, 1.0, true}, {1e308, kt, false}, {INFINITY, kt, true}, {NAN, kt, true}, {-1e308, kt, false}};
  for (const auto& c : cases) {
    double value = c.value;
    EXPECT_EQ(aero::convert(value, c.factor), c.converted) << c.value;
    if (c.factor == 1.0) {
      EXPECT_EQ(value, c.value);
    }
  }
}

}  // namespace
