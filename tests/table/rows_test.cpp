#include <cstdint>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "table_test_support.h"

namespace {

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

// --max-rows N allows a sweep of N rows and refuses one of N + 1.
TEST(Rows, MaxRowsAllowsExactlyN) {
  table::Request request;
  request.values[table::mach] = "0:1:0.1";
  request.maxRows = 11;
  EXPECT_EQ(refusalOf([&] { table::makeJob(request, nullptr); }), "no error");
  request.maxRows = 10;
  EXPECT_EQ(refusalOf([&] { table::makeJob(request, nullptr); }),
            "the options give 11 rows, more than 10; --max-rows N allows up to N");
}

TEST(Rows, SweepSizeSaturatesInsteadOfOverflowing) {
  table::Request request;
  request.maxRows = std::numeric_limits<std::uint64_t>::max();
  EXPECT_EQ(table::sweepSize(table::makeJob(request, nullptr)), 1u);
  request.values[table::mach] = "0:1e18:1";
  request.values[table::weight] = "0:1e18:1";
  EXPECT_EQ(table::sweepSize(table::makeJob(request, nullptr)), std::numeric_limits<std::uint64_t>::max());
}

}  // namespace
