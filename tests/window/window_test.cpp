#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ref_values.h"
#include "reference_values.h"
#include "window_app.h"
#include "window_driver.h"

namespace {

// The seventeen field texts the window should show for a value set, in window order.
std::vector<std::string> shownTexts(const aero::ReferenceValueSet& v) {
  // clang-format off
  const std::array<double, 17> inWindowOrder{
      v.mach, v.altitude, v.loadFactor, v.weight, v.refLength, v.refArea,
      v.liftCoefficient, v.reynolds, v.velocity, v.soundSpeed, v.temperature, v.viscosity, v.kinematicViscosity,
      v.density, v.pressure, v.dynamicPressure, v.referenceForce};
  // clang-format on
  std::vector<std::string> texts;
  for (double value : inWindowOrder) {
    texts.emplace_back(FXStringVal(value).text());
  }
  return texts;
}

// Gathers every label, button and text field below a window.
void collectTextParts(FXWindow* parent, std::vector<FXWindow*>& found) {
  for (FXWindow* child = parent->getFirst(); child != nullptr; child = child->getNext()) {
    if (child->isMemberOf(FXMETACLASS(FXLabel)) || child->isMemberOf(FXMETACLASS(FXTextField))) {
      found.push_back(child);
    }
    collectTextParts(child, found);
  }
}

std::vector<std::string> outputsOf(const std::vector<std::string>& texts) {
  return {texts.begin() + 6, texts.end()};
}

}  // namespace

TEST(CalculatorWindow, FirstDisplayShowsDefaultsAndTheirComputedOutputs) {
  WindowDriver driver(testApplication());
  const std::vector<std::string> expected{"0.8",         "11000",       "1",       "50",      "3.5",    "56",
                                          "0.862991",    "2.11497E+07", "236.056", "295.07",  "216.65", "1.42161E-05",
                                          "3.90642E-05", "0.363917",    "22632",   "10139.2", "567793"};
  EXPECT_EQ(driver.fieldTexts(), expected);
}

// Also registered under comma-decimal locales: the process really runs in the locale asked for, and
// numbers still go both ways in point notation ("0.85" typed is read as 0.85).
TEST(CalculatorWindow, InputsChangeOutputsOnlyOnCompute) {
  const char* wanted = std::getenv("LC_ALL");
  if (wanted == nullptr || *wanted == '\0') {
    wanted = std::getenv("LANG");
  }
  std::printf("LC_CTYPE %s, LC_NUMERIC %s\n", std::setlocale(LC_CTYPE, nullptr), std::setlocale(LC_NUMERIC, nullptr));
  if (wanted != nullptr && *wanted != '\0' && std::string(wanted) != "C") {
    EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), wanted) << "locale not generated or not passed on";
  }
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");

  WindowDriver driver(testApplication());
  const std::vector<std::string> before = driver.fieldTexts();
  const std::array<std::string, 6> typed{"0.85", "9000.5", "2.5", "61.25", "4", "70.5"};
  for (std::size_t row = 0; row < typed.size(); ++row) {
    driver.type(driver.input(row), typed[row]);
    driver.refresh();
    EXPECT_EQ(driver.input(row)->getText(), typed[row].c_str());
    EXPECT_EQ(outputsOf(driver.fieldTexts()), outputsOf(before)) << "after typing " << typed[row];
  }
  // Mach, H, G, L ref, S ref, n: the order of the value set's fields.
  aero::ReferenceValueSet expected{0.85, 9000.5, 61.25, 4, 70.5, 2.5};
  expected.computeReferenceValues();
  driver.press(driver.button("Compute"));
  EXPECT_EQ(driver.fieldTexts(), shownTexts(expected));
}

TEST(CalculatorWindow, TypedOutputStaysUntilCompute) {
  WindowDriver driver(testApplication());
  const std::vector<std::string> computed = driver.fieldTexts();
  driver.type(driver.output(0), "1.25");
  driver.type(driver.output(10), "-3e+08");
  driver.type(driver.input(0), "0.8");
  for (int pass = 0; pass < 3; ++pass) {
    driver.refresh();
  }
  EXPECT_EQ(driver.output(0)->getText(), "1.25");
  EXPECT_EQ(driver.output(10)->getText(), "-3E+08");
  driver.press(driver.button("Compute"));
  EXPECT_EQ(driver.fieldTexts(), computed);
}

TEST(CalculatorWindow, TitleLabelsAndUnitsInOrder) {
  WindowDriver driver(testApplication());
  EXPECT_EQ(driver.window()->getTitle(), "Clift vs Load factor");
  // clang-format off
  const std::vector<std::string> expected{
      "INPUT VALUES", "Mach=", "H=", "m", "n=", "G=", "ton", "L ref=", "m", "S ref=", "m*m",
      "OUTPUT VALUES (SI)", "C lift=", "Re number=", "U=", "m/sec", "a=", "m/sec", "T ref=", "grad K",
      "Mu=", "Pa*sec", "Nu=", "(m*m)/sec", "Rho=", "kg/(m*m*m)", "P=", "Pa(N/(m*m))",
      "0.5*Rho*U*U=", "kg/(m*sec*sec)", "S*0.5*Rho*U*U=", "kg*m/(sec*sec))"};
  // clang-format on
  EXPECT_EQ(driver.labelTexts(), expected);
}

// Every label and field is whole and inside the window, the window is centred and no larger than the
// layout needs beyond 450 by 350, and both buttons span their panel, "Compute" first.
TEST(CalculatorWindow, OpensCentredWithEverythingVisible) {
  WindowDriver driver(testApplication());
  RefValues* main = driver.window();
  EXPECT_EQ(main->getWidth(), std::max(450, main->getDefaultWidth()));
  EXPECT_EQ(main->getHeight(), std::max(350, main->getDefaultHeight()));
  FXWindow* root = testApplication()->getRootWindow();
  EXPECT_NEAR(main->getX(), (root->getWidth() - main->getWidth()) / 2, 1);
  EXPECT_NEAR(main->getY(), (root->getHeight() - main->getHeight()) / 2, 1);

  std::vector<FXWindow*> parts;
  collectTextParts(main, parts);
  EXPECT_EQ(parts.size(), 17u + 32u + 2u);
  for (FXWindow* part : parts) {
    FXint x = 0;
    FXint y = 0;
    part->translateCoordinatesTo(x, y, main, 0, 0);
    const std::string what = part->isMemberOf(FXMETACLASS(FXLabel)) ? static_cast<FXLabel*>(part)->getText().text()
                                                                    : static_cast<FXTextField*>(part)->getText().text();
    EXPECT_GE(x, 0) << what;
    EXPECT_GE(y, 0) << what;
    EXPECT_LE(x + part->getWidth(), main->getWidth()) << what;
    EXPECT_LE(y + part->getHeight(), main->getHeight()) << what;
    EXPECT_GE(part->getWidth(), part->getDefaultWidth()) << what << " is cut off";
    EXPECT_GE(part->getHeight(), part->getDefaultHeight()) << what << " is cut off";
  }

  FXButton* compute = driver.button("Compute");
  FXButton* output = driver.button("Output to file");
  ASSERT_NE(compute, nullptr);
  ASSERT_NE(output, nullptr);
  EXPECT_EQ(compute->getParent(), output->getParent());
  EXPECT_EQ(compute->getNext(), output);
  EXPECT_LT(compute->getY() + compute->getHeight(), output->getY());
  for (FXButton* button : {compute, output}) {
    EXPECT_EQ(button->getX(), 0);
    EXPECT_EQ(button->getWidth(), button->getParent()->getWidth());
  }
}
