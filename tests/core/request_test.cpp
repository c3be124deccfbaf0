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
      {"altitude,altitude_ft", false, false, Fault::twoUnits, ""},
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

}  // namespace
