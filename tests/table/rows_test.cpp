#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "atmosphere.h"
#include "condition.h"
#include "reference_values.h"
#include "table_test_support.h"

namespace {

using Inputs = std::array<double, table::inputCount>;

// The row of a case given as Mach number and the other six inputs, in SI.
table::Row rowOf(const Inputs& inputs, bool geometric = false) {
  table::Row row{};
  const table::Job job;
  for (std::size_t i = 0; i < inputs.size(); ++i) row[job.inputs[i]] = inputs[i];
  aero::Setup setup;
  setup.geometric = geometric;
  aero::computeRow(row, setup);
  return row;
}

TEST(AirState, IsaOffsetKeepsThePressureAndTakesEverythingElseFromTheNewTemperature) {
  // Hand-computed: rho = p / (287.053 T), mu = 1.458e-6 T^1.5 / (T + 110.4), a = sqrt(1.4 * 287.053 T).
  const aero::AirState hot = aero::airState(11000.0, 15.0);
  EXPECT_EQ(hot.pressure, 22632.04);
  EXPECT_DOUBLE_EQ(hot.temperature, 231.65);
  EXPECT_DOUBLE_EQ(hot.density, 0.34035278404524916);
  EXPECT_DOUBLE_EQ(hot.viscosity, 1.5028525966086723e-05);
  EXPECT_DOUBLE_EQ(hot.soundSpeed, 305.11335341148214);
  const aero::AirState cold = aero::airState(0.0, -20.0);
  EXPECT_EQ(cold.pressure, 101325.0);
  EXPECT_DOUBLE_EQ(cold.temperature, 268.15);
  EXPECT_DOUBLE_EQ(cold.density, 1.3163661956513981);
  EXPECT_DOUBLE_EQ(cold.viscosity, 1.691223386164368e-05);
  EXPECT_DOUBLE_EQ(cold.soundSpeed, 328.27209252386956);
}

TEST(AirState, GeometricAltitudeBecomesGeopotential) {
  // Hand-computed H = 6356766 Z / (6356766 + Z).
  EXPECT_EQ(aero::geopotentialAltitude(0.0), 0.0);
  EXPECT_DOUBLE_EQ(aero::geopotentialAltitude(11000.0), 10980.99804546838);
  EXPECT_DOUBLE_EQ(aero::geopotentialAltitude(20000.0), 19937.27227876952);
  EXPECT_DOUBLE_EQ(aero::geopotentialAltitude(88000.0), 86798.4047830441);
  EXPECT_DOUBLE_EQ(aero::geopotentialAltitude(-500.0), -500.03933126776);
  const Inputs inputs{0.8, 11000.0, 1, 50, 3.5, 56, 0};
  const table::Row row = rowOf(inputs, true);
  EXPECT_EQ(row[table::altitude], 11000.0);
  EXPECT_DOUBLE_EQ(row[aero::col::geopotentialAltitude], 10980.99804546838);
  // Below the tropopause in geopotential terms: warmer than 216.65 K.
  EXPECT_DOUBLE_EQ(row[table::temperature], 288.15 - 0.0065 * 10980.99804546838);
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
    const Inputs inputs{v.mach, v.altitude, v.loadFactor, v.weight, v.refLength, v.refArea, 0.0};
    const table::Row row = rowOf(inputs);
    v.computeReferenceValues();
    const std::array<double, 11> expected = windowOutputs(v);
    ASSERT_EQ(std::memcmp(&row[table::liftCoefficient], expected.data(), sizeof expected), 0)
        << "mach " << v.mach << " altitude " << v.altitude;
    ASSERT_EQ(row[aero::col::geopotentialAltitude], v.altitude);
  }
}

TEST(Rows, SweepOrderIsTheTablesWithMachSlowestAndCaseRowsSlowerStill) {
  table::Request request;
  request.values[table::mach] = "0.5,0.6";
  request.values[table::isaOffset] = "-10:10:10";
  const Written written = tableOf(request, "altitude,isa_offset\n1000,99\n2000,99\n");
  EXPECT_EQ(written.summary.rows, 12u);
  EXPECT_EQ(written.summary.extrapolated, 0u);
  std::istringstream lines(written.text.substr(written.text.find('\n') + 1));
  std::string got;
  for (std::string line; std::getline(lines, line);) got += line.substr(0, line.find(",1,50")) + " ";
  EXPECT_EQ(got,
            "0.5,1000 0.5,1000 0.5,1000 0.6,1000 0.6,1000 0.6,1000 "
            "0.5,2000 0.5,2000 0.5,2000 0.6,2000 0.6,2000 0.6,2000 ");
  EXPECT_NE(written.text.find("0.5,1000,1,50,3.5,56,-10,"), std::string::npos);
  EXPECT_NE(written.text.find("0.6,2000,1,50,3.5,56,10,"), std::string::npos);
}

TEST(Rows, InputsAreWrittenExactlyWhateverTheDigitsAndMinusZeroStaysNegative) {
  table::Request request;
  request.values[table::mach] = "0.7777";
  request.values[table::altitude] = "12345";
  request.values[table::isaOffset] = "0,-0";
  request.digits = 1;
  EXPECT_EQ(tableOf(request).text.substr(tableOf(request).text.find('\n') + 1),
            "0.7777,12345,1,50,3.5,56,0,1e+04,1,2e+07,2e+02,3e+02,2e+02,1e-05,5e-05,0.3,2e+04,8e+03,4e+05\n"
            "0.7777,12345,1,50,3.5,56,-0,1e+04,1,2e+07,2e+02,3e+02,2e+02,1e-05,5e-05,0.3,2e+04,8e+03,4e+05\n");
}

TEST(Rows, ExtrapolatedGeopotentialAltitudesAreCounted) {
  const struct {
    const char* altitudes;
    bool geometric;
    std::uint64_t extrapolated;
  } cases[] = {{"-1,0,88000,88000.5", false, 2}, {"-1,0,88000,89000", true, 1}, {"-6356765", true, 1}};
  for (const auto& c : cases) {
    table::Request request;
    request.values[table::altitude] = c.altitudes;
    request.geometric = c.geometric;
    EXPECT_EQ(tableOf(request).summary.extrapolated, c.extrapolated) << c.altitudes;
  }
}

TEST(Rows, CasesTheAtmosphereCannotTakeAreRefusedWithTheirPlace) {
  const auto sweep = [](const char* altitudes, const char* offsets, bool geometric) {
    table::Request request;
    request.values[table::altitude] = altitudes;
    request.values[table::isaOffset] = offsets;
    request.geometric = geometric;
    return refusalOf([&] { table::makeJob(request, nullptr); });
  };
  EXPECT_EQ(sweep("0,88000", "0,-180.65", false),
            "--isa-offset: -180.65 K at altitude 88000 m gives a temperature of 0 K, at or below 0 K");
  EXPECT_EQ(sweep("0,88000", "-180.6", false), "no error");
  EXPECT_EQ(sweep("0,-6356766:0:1000", "0", true),
            "--altitude: the geometric altitude -6356766 m is at or below minus the Earth's radius (-6356766 m)");
  EXPECT_EQ(sweep("-6356765", "0", true), "no error");

  const auto fromFile = [](const char* text, const char* offset) {
    table::Request request;
    if (offset != nullptr) request.values[table::isaOffset] = offset;
    return refusalOf([&] { tableOf(request, text); });
  };
  EXPECT_EQ(fromFile("altitude,isa_offset\n0,10\n80000,-200\n", nullptr),
            "cases.csv:3: column isa_offset: -200 K at altitude 80000 m gives a temperature of -19.349999999999994 "
            "K, at or below 0 K");
  EXPECT_EQ(fromFile("altitude\n0\n80000\n", "-190"),
            "cases.csv:3: with --isa-offset: -190 K at altitude 80000 m gives a temperature of -9.349999999999994 "
            "K, at or below 0 K");
  EXPECT_EQ(fromFile("geometric_altitude\n0\n-7e6\n", nullptr),
            "cases.csv:3: column geometric_altitude: the geometric altitude -7e+06 m is at or below minus the Earth's "
            "radius (-6356766 m)");
}

// --columns takes names with spaces around them and geometric_altitude under --geometric, and
// refuses a repeated name and an empty one.
TEST(Rows, ColumnsAreListedAsValuesAre) {
  const struct {
    const char* columns;
    bool geometric;
    const char* header;
  } cases[] = {
      {" mach , altitude ", false, "mach,altitude"},
      {"geometric_altitude,density_altitude", true, "geometric_altitude,density_altitude"},
      {"geometric_altitude", false, "--columns: unknown column \"geometric_altitude\""},
      {"mach,mach", false, "--columns: repeated column \"mach\""},
      {"", false, "--columns: a name is missing in \"\""},
      {"mach,,altitude", false, "--columns: a name is missing in \"mach,,altitude\""},
  };
  for (const auto& c : cases) {
    table::Request request;
    request.columns = c.columns;
    request.geometric = c.geometric;
    std::string header;
    const std::string refusal = refusalOf([&] { header = tableOf(request).text; });
    header = header.substr(0, header.find('\n'));
    EXPECT_EQ(refusal == "no error" ? header : refusal.substr(0, std::strlen(c.header)), c.header);
  }
}

TEST(Rows, SweepSizeSaturatesInsteadOfOverflowing) {
  table::Request request;
  request.maxRows = std::numeric_limits<std::uint64_t>::max();
  EXPECT_EQ(table::sweepSize(table::makeJob(request, nullptr)), 1u);
  request.values[table::mach] = "0:1e18:1";
  request.values[table::weight] = "0:1e18:1";
  EXPECT_EQ(table::sweepSize(table::makeJob(request, nullptr)), std::numeric_limits<std::uint64_t>::max());
}

// Solved, a row reaches its target: within 1e-12 through the closed forms, 1e-9 through the search,
// in every layer, at a Mach number and at a true airspeed, on a standard and a warm day.
TEST(Solve, TheSolutionReachesTheTargetInEveryLayer) {
  using table::Column;
  for (const Column speed : {table::mach, table::tas}) {
    for (const double offset : {0.0, 15.0}) {
      for (const double height : {500.0, 15000.0, 25000.0, 40000.0, 50000.0, 57000.0, 70000.0, 85000.0}) {
        aero::Setup forward;
        forward.speed = speed;
        table::Row row = rowOf({0.8, height, 2, 50, 3.5, 56, offset});
        row[table::tas] = 250.0;
        aero::computeRow(row, forward);
        const Column targets[] = {table::liftCoefficient, table::reynolds, table::dynamicPressure, table::pressure,
                                  table::density};
        for (const Column target : targets) {
          for (const Column unknown : {table::mach, table::altitude}) {
            if (unknown == table::mach &&
                (speed == table::tas || target == table::pressure || target == table::density)) {
              continue;
            }
            SCOPED_TRACE(testing::Message()
                         << aero::columnKinds[speed].name << " " << offset << " K " << height << " m, solving for "
                         << aero::columnKinds[unknown].name << " to " << aero::columnKinds[target].name);
            aero::Setup solving = forward;
            solving.unknown = unknown;
            solving.target = target;
            table::Row asked = row;
            asked[unknown] = std::numeric_limits<double>::quiet_NaN();
            aero::computeRow(asked, solving);
            const bool closed = unknown == table::mach || target == table::pressure ||
                                (speed == table::mach && target != table::reynolds && target != table::density);
            EXPECT_NEAR(asked[target], row[target], (closed ? 1e-12 : 1e-9) * row[target]);
            EXPECT_NEAR(asked[unknown], row[unknown], 1e-6 * row[unknown]);
          }
        }
      }
    }
  }
}

}  // namespace
