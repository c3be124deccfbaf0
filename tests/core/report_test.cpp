#include <clocale>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <locale>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "computed_defaults.h"
#include "prerequisites.h"
#include "report.h"
#include "test_files.h"

namespace {

namespace fs = std::filesystem;

const char* const defaultReport =
    "---------------------------------\n"
    "--------Specified values --------\n"
    " Mach = 0.8\n"
    " H    = 11000 m\n"
    " N    = 1\n"
    "---------------------------------\n"
    " G    = 50 T\n"
    " S    = 56 m*m\n"
    " L    = 3.5 m\n"
    "---------------------------------\n"
    "--------Calculated values -------\n"
    " Clift= 0.862991\n"
    " Re   = 2.11497e+07\n"
    " Uref = 236.056 m/sec\n"
    " Tref = 216.65 grad K\n"
    " Mu   = 1.42161e-05 Pa*sec\n"
    " Nu   = 3.90642e-05 (m*m)/sec\n"
    " Rho  = 0.363917 kg/(m*m*m)\n"
    " P    = 22632 Pa (N/(m*m))\n"
    "--------------------------------------------\n"
    "   0.5*Rho*U*U  = 10139.2 kg/(m*sec*sec)\n"
    " S*0.5*Rho*U*U  = 567793 kg*m/(sec*sec)\n"
    "--------------------------------------------";

TEST(ReportText, DefaultsGiveTheSampleReport) {
  EXPECT_EQ(report::reportText(computedDefaults()), defaultReport);
}

TEST(ReportText, NumbersAreFormattedAsPrintfG) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const double value :
       {1e-5, 1.5e-7, 0.0001, 1e6, 123456.0, 1234567.0, 999999.5, -2.5, -1e-300, 0.0, -0.0, inf, -inf, nan, -nan,
        std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max()}) {
    EXPECT_EQ(report::formatNumber(value), printfG(value));
  }
}

// Decimal comma, as a German locale would have it, without needing any generated locale.
struct CommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

// Both the C locale and the C++ global locale write decimal commas here; printf "%g" would too.
TEST(ReportText, DecimalPointSurvivesACommaLocale) {
  const std::string savedC = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
    if (strictTests()) {
      FAIL() << "the locale de_DE.UTF-8 is not installed";
    }
    GTEST_SKIP() << "the locale de_DE.UTF-8 is not installed (locale-gen de_DE.UTF-8)";
  }
  EXPECT_EQ(printfG(3.5), "3,5");
  const std::locale savedCxx = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
  std::ostringstream probe;
  probe << 3.5;
  EXPECT_EQ(probe.str(), "3,5");
  EXPECT_EQ(report::formatNumber(3.5), "3.5");
  EXPECT_EQ(report::reportText(computedDefaults()), defaultReport);
  std::locale::global(savedCxx);
  std::setlocale(LC_ALL, savedC.c_str());
}

class WriteReport : public testing::Test {
 protected:
  TempDir dir;
};

TEST_F(WriteReport, WritesTheReportAndASecondWriteReplacesTheFirst) {
  const fs::path file = dir / "ref.out";
  aero::ReferenceValueSet v = computedDefaults();
  EXPECT_FALSE(report::writeReport(file.string(), v));
  EXPECT_EQ(fileContents(file), defaultReport);
  // A zero Mach number gives an infinite lift coefficient, which is written like any other value.
  v.mach = 0.0;
  v.computeReferenceValues();
  EXPECT_FALSE(report::writeReport(file.string(), v));
  EXPECT_EQ(fileContents(file), report::reportText(v));
  EXPECT_NE(fileContents(file).find("\n Mach = 0\n"), std::string::npos);
  EXPECT_NE(fileContents(file).find("\n Clift= inf\n"), std::string::npos);
}

}  // namespace
