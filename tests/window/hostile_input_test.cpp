#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "reference_values.h"
#include "window_app.h"
#include "window_driver.h"

namespace {

namespace fs = std::filesystem;

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

void PrintTo(const HostileCase& hostile, std::ostream* out) { *out << hostile.name; }

// Report line names and the window field each one repeats; the speed of sound is not reported.
// clang-format off
const std::map<std::string, std::size_t> reportedField{
    {"Mach", 0}, {"H", 1}, {"N", 2}, {"G", 3}, {"L", 4}, {"S", 5}, {"Clift", 6}, {"Re", 7}, {"Uref", 8},
    {"Tref", 10}, {"Mu", 11}, {"Nu", 12}, {"Rho", 13}, {"P", 14}, {"0.5*Rho*U*U", 15}, {"S*0.5*Rho*U*U", 16}};
// clang-format on

// Every number of the report must be the window's text in lower case: the same value, as printf %g
// writes what the window shows as %G (INF is inf, NAN is nan).
void expectReportRepeatsWindow(const fs::path& file, const std::vector<std::string>& window) {
  std::ifstream in(file);
  ASSERT_TRUE(in) << file << " not written";
  std::size_t numbers = 0;
  for (std::string line; std::getline(in, line);) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
      continue;
    }
    const std::size_t start = line.find_first_not_of(' ');
    const std::string name = line.substr(start, line.find_last_not_of(' ', equals - 1) + 1 - start);
    const std::string value = line.substr(equals + 2, line.find(' ', equals + 2) - equals - 2);
    ASSERT_EQ(reportedField.count(name), 1u) << line;
    std::string expected = window.at(reportedField.at(name));
    std::transform(expected.begin(), expected.end(), expected.begin(), [](char c) { return std::tolower(c); });
    EXPECT_EQ(value, expected) << line;
    ++numbers;
  }
  EXPECT_EQ(numbers, reportedField.size());
}

class HostileInput : public testing::TestWithParam<HostileCase> {};

}  // namespace

// Typed, saved, computed and saved again: the window shows the toolkit's reading of the text, both
// reports repeat the window, and the outputs are the core computation of what the inputs show.
TEST_P(HostileInput, ShownComputedAndReported) {
  const HostileCase& hostile = GetParam();
  std::string made = (fs::temp_directory_path() / "quorvan-hostile-XXXXXX").string();
  ASSERT_NE(mkdtemp(made.data()), nullptr);
  const fs::path dir(made);

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
  fs::remove_all(dir);
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
