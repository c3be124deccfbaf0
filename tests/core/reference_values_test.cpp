#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "computed_defaults.h"
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
    EXPECT_EQ(printfG(v.*outputs[i].second), expected[i]) << outputs[i].first;
  }
}

TEST(ReferenceValues, EachInputMovesOnlyTheOutputsThatDependOnIt) {
  const ReferenceValueSet base = computedDefaults();
  const std::pair<double ReferenceValueSet::*, const char*> cases[] = {
      {&ReferenceValueSet::loadFactor, "liftCoefficient"},
      {&ReferenceValueSet::refLength, "reynolds"},
      {&ReferenceValueSet::refArea, "liftCoefficient referenceForce"},
  };
  for (const auto& [input, changed] : cases) {
    ReferenceValueSet v = base;
    v.*input *= 2.0;
    v.computeReferenceValues();
    EXPECT_EQ(changedOutputs(base, v), changed);
  }
  ReferenceValueSet doubled = base;
  doubled.loadFactor = 2.0;
  doubled.computeReferenceValues();
  EXPECT_EQ(doubled.liftCoefficient, 2.0 * base.liftCoefficient);
}

TEST(ReferenceValues, ZeroMachOrAreaGivesInfiniteLiftAndNanWithZeroLoadOrWeight) {
  for (const auto zeroed : {&ReferenceValueSet::mach, &ReferenceValueSet::refArea}) {
    ReferenceValueSet v = computedDefaults();
    v.*zeroed = 0.0;
    v.computeReferenceValues();
    EXPECT_EQ(v.referenceForce, 0.0);
    EXPECT_EQ(v.liftCoefficient, HUGE_VAL);
    for (const auto alsoZeroed : {&ReferenceValueSet::loadFactor, &ReferenceValueSet::weight}) {
      ReferenceValueSet w = v;
      w.*alsoZeroed = 0.0;
      w.computeReferenceValues();
      EXPECT_TRUE(std::isnan(w.liftCoefficient));
    }
  }
  ReferenceValueSet v = computedDefaults();
  v.mach = 0.0;
  v.computeReferenceValues();
  EXPECT_EQ(v.velocity, 0.0);
  EXPECT_EQ(v.reynolds, 0.0);
  EXPECT_EQ(v.dynamicPressure, 0.0);
}

}  // namespace
