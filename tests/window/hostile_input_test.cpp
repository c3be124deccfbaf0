#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "reference_values.h"
#include "report_check.h"
#include "test_files.h"
#include "window_app.h"
#include "window_driver.h"

namespace {

// Text typed key by key into one field (0-5 inputs, 6-16 outputs) and what the field shows after Enter.
struct Typing {
  std::size_t field;
  const char* text;
  const char* shown;
};

struct HostileCase {
  const char* name;
  std::vector<Typing> typed;
  // What "C lift=" shows after "Compute" (NAN stands for either sign), or nullptr: only the core decides.
  const char* liftAfterCompute;
};

void PrintTo(const HostileCase& hostile, std::ostream* out) {
  *out << hostile.name;
}

class HostileInput : public testing::TestWithParam<HostileCase> {};

}  // namespace

// Typed, saved, computed and saved again: the window shows the toolkit's reading of the text, both
// reports repeat the window, and the outputs are the core computation of what the inputs show.
TEST_P(HostileInput, ShownComputedAndReported) {
  const HostileCase& hostile = GetParam();
  const TempDir dir;

  WindowDriver driver(testApplication());
  for (const Typing& typing : hostile.typed) {
    driver.type(driver.fields().at(typing.field), typing.text);
  }
  driver.refresh();
  const auto expectTypedShown = [&driver, &hostile](const char* when) {
    for (const Typing& typing : hostile.typed) {
      EXPECT_EQ(driver.fieldTexts().at(typing.field), typing.shown) << "typed \"" << typing.text << "\" " << when;
    }
  };
  expectTypedShown("before saving");
  EXPECT_TRUE(driver.saveAs((dir / "typed.out").string()).empty());
  expectTypedShown("after saving");
  expectReportRepeatsWindow(dir / "typed.out", driver.fieldTexts());

  driver.press(driver.button("Compute"));
  const std::vector<std::string> shown = driver.fieldTexts();
  aero::ReferenceValueSet expected;
  const std::array<double*, 6> inputs{&expected.mach,   &expected.altitude,  &expected.loadFactor,
                                      &expected.weight, &expected.refLength, &expected.refArea};
  for (std::size_t row = 0; row < inputs.size(); ++row) {
    *inputs[row] = std::strtod(shown[row].c_str(), nullptr);
  }
  expected.computeReferenceValues();
  EXPECT_EQ(shown.at(6), FXStringVal(expected.liftCoefficient).text());
  EXPECT_EQ(shown.at(16), FXStringVal(expected.referenceForce).text());
  if (hostile.liftAfterCompute != nullptr) {
    // The sign of a NaN from 0/0 or inf/inf is the processor's (x86 sets it): either is a NaN.
    const std::string lift = shown.at(6) == "-NAN" ? "NAN" : shown.at(6);
    EXPECT_EQ(lift, hostile.liftAfterCompute);
  }
  EXPECT_TRUE(driver.saveAs((dir / "computed.out").string()).empty());
  expectReportRepeatsWindow(dir / "computed.out", shown);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Window, HostileInput, testing::Values(
    HostileCase{"EmptyMach", {{0, "", "0"}}, "INF"},
    HostileCase{"LoneMinusMach", {{0, "-", "0"}}, "INF"},
    HostileCase{"LonePlusLoadFactor", {{2, "+", "0"}}, "0"},
    HostileCase{"LonePointWeight", {{3, ".", "0"}}, "0"},
    HostileCase{"TrailingExponentLength", {{4, "1e", "1"}}, nullptr},
    HostileCase{"HugeAltitude", {{1, "1e999", "INF"}}, nullptr},
    HostileCase{"HugeNegativeAltitude", {{1, "-1e999", "-INF"}}, "NAN"},
    HostileCase{"HugeMach", {{0, "1e999", "INF"}}, "0"},
    HostileCase{"UnderflowingArea", {{5, "1e-400", "0"}}, "INF"},
    HostileCase{"ZeroArea", {{5, "0", "0"}}, "INF"},
    HostileCase{"LettersRefused", {{0, "abc", "0.8"}, {5, "x", "56"}}, "0.862991"},
    // Each key is filtered on its own: the comma is refused, the digits around it are kept.
    HostileCase{"CommaRefusedDigitsKept", {{3, "1,5", "15"}}, nullptr},
    HostileCase{"ZeroMachAndLoadFactor", {{0, "", "0"}, {2, "0", "0"}}, "NAN"},
    HostileCase{"HostileOutputs", {{6, "1e999", "INF"}, {7, "-", "0"}, {9, "abc", "295.07"}, {16, "-1e999", "-INF"}},
                "0.862991"}),
    [](const testing::TestParamInfo<HostileCase>& named) { return std::string(named.param.name); });
// clang-format on
