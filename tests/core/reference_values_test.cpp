#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "reference_values.h"

namespace {

using aero::ReferenceValueSet;

using Output = double ReferenceValueSet::*;
constexpr std::array<std::pair<const char*, Output>, 11> outputs{{
    {"liftCoefficient", &ReferenceValueSet::liftCoefficient},
    {"temperature", &ReferenceValueSet::temperature},
    {"reynolds", &ReferenceValueSet::reynolds},
    {"soundSpeed", &ReferenceValueSet::soundSpeed},
    {"velocity", &ReferenceValueSet::velocity},
    {"kinematicViscosity", &ReferenceValueSet::kinematicViscosity},
    {"viscosity", &ReferenceValueSet::viscosity},
    {"density", &ReferenceValueSet::density},
    {"pressure", &ReferenceValueSet::pressure},
    {"dynamicPressure", &ReferenceValueSet::dynamicPressure},
    {"referenceForce", &ReferenceValueSet::referenceForce},
}};

ReferenceValueSet computedDefaults() {
  ReferenceValueSet v;
  v.setDefaults();
  v.computeReferenceValues();
  return v;
}

std::string sixDigits(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

// Names of the outputs whose values differ between two computed sets, space-separated.
std::string changedOutputs(const ReferenceValueSet& a, const ReferenceValueSet& b) {
  std::string names;
  for (const auto& [name, field] : outputs) {
    if (a.*field != b.*field) {
      names += names.empty() ? name : std::string(" ") + name;
    }
  }
  return names;
}

TEST(ReferenceValues, DefaultsGiveTheKnownResults) {
  const ReferenceValueSet v = computedDefaults();
  const std::array<const char*, 11> expected{"0.862991", "216.65",      "2.11497e+07", "295.07",
                                             "236.056",  "3.90642e-05", "1.42161e-05", "0.363917",
                                             "22632",    "10139.2",     "567793"};
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    EXPECT_EQ(sixDigits(v.*outputs[i].second), expected[i]) << outputs[i].first;
  }
}

TEST(ReferenceValues, EachInputMovesOnlyTheOutputsThatDependOnIt) {
  const ReferenceValueSet base = computedDefaults();
  ReferenceValueSet v = base;
  v.loadFactor *= 2.0;
  v.computeReferenceValues();
  EXPECT_EQ(changedOutputs(base, v), "liftCoefficient");
  EXPECT_EQ(v.liftCoefficient, 2.0 * base.liftCoefficient);

  v = base;
  v.refLength = 7.0;
  v.computeReferenceValues();
  EXPECT_EQ(changedOutputs(base, v), "reynolds");

  v = base;
  v.refArea = 28.0;
  v.computeReferenceValues();
  EXPECT_EQ(changedOutputs(base, v), "liftCoefficient referenceForce");
}

TEST(ReferenceValues, ZeroMachOrAreaGivesInfiniteLiftAndNanWithZeroLoad) {
  ReferenceValueSet v = computedDefaults();
  v.mach = 0.0;
  v.computeReferenceValues();
  EXPECT_EQ(v.velocity, 0.0);
  EXPECT_EQ(v.reynolds, 0.0);
  EXPECT_EQ(v.dynamicPressure, 0.0);
  EXPECT_EQ(v.referenceForce, 0.0);
  EXPECT_EQ(v.liftCoefficient, HUGE_VAL);
  v.loadFactor = 0.0;
  v.computeReferenceValues();
  EXPECT_TRUE(std::isnan(v.liftCoefficient));

  v = computedDefaults();
  v.refArea = 0.0;
  v.computeReferenceValues();
  EXPECT_EQ(v.referenceForce, 0.0);
  EXPECT_EQ(v.liftCoefficient, HUGE_VAL);
  EXPECT_EQ(v.dynamicPressure, computedDefaults().dynamicPressure);
  v.weight = 0.0;
  v.computeReferenceValues();
  EXPECT_TRUE(std::isnan(v.liftCoefficient));
}

}  // namespace
