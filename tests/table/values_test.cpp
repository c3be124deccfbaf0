#include <charconv>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "numbers.h"
#include "row_writer.h"
#include "table_test_support.h"
#include "texts.h"
#include "values.h"

namespace {

using table::InputError;
using table::ValueList;

std::vector<double> valuesOf(const std::string& text) {
  const ValueList list = ValueList::parse(text, "--mach");
  std::vector<double> values;
  for (std::uint64_t i = 0; i < list.size(); ++i) values.push_back(list.at(i));
  return values;
}

double decimal(const char* text) {
  double value = 0.0;
  std::from_chars(text, text + std::char_traits<char>::length(text), value);
  return value;
}

// The message of the InputError a parse throws, or "no error".
std::string refusal(const std::string& text) {
  return refusalOf([&text] { ValueList::parse(text, "--altitude"); });
}

TEST(Ranges, StepInDecimalAndGiveTheNearestDoubleOfEachDecimal) {
  const std::vector<double> tenths = valuesOf("0:1:0.1");
  ASSERT_EQ(tenths.size(), 11u);
  const char* expected[] = {"0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1"};
  for (std::size_t i = 0; i < tenths.size(); ++i) EXPECT_EQ(tenths[i], decimal(expected[i])) << expected[i];

  std::array<char, 32> text{};
  EXPECT_EQ(std::string(text.data(), table::formatNumber(text.data(), tenths[3], 0)), "0.3");

  // Far from zero, with an exponent, and below the exact-division shortcut.
  EXPECT_EQ(valuesOf("1e3:1.2e3:50"), (std::vector<double>{1000, 1050, 1100, 1150, 1200}));
  EXPECT_EQ(valuesOf("1e20:5e20:2e20"), (std::vector<double>{1e20, 3e20, 5e20}));
  EXPECT_EQ(valuesOf("-1e300:1e300:1e300"), (std::vector<double>{-1e300, 0, 1e300}));
  EXPECT_EQ(valuesOf("0.000000000000000000000001:0.000000000000000000000003:1e-24"),
            (std::vector<double>{1e-24, 2e-24, 3e-24}));
  const std::vector<double> fine = valuesOf("0.8:0.81:0.0001");
  ASSERT_EQ(fine.size(), 101u);
  EXPECT_EQ(fine[37], decimal("0.8037"));
}

TEST(Ranges, StopIsIncludedOnlyWhenAStepLandsOnIt) {
  EXPECT_EQ(valuesOf("0:1:0.3"), (std::vector<double>{0, 0.3, 0.6, 0.9}));
  EXPECT_EQ(valuesOf("0:0.9:0.3"), (std::vector<double>{0, 0.3, 0.6, 0.9}));
  EXPECT_EQ(valuesOf("-300:0:100"), (std::vector<double>{-300, -200, -100, 0}));
  EXPECT_EQ(valuesOf("15:-15:-15"), (std::vector<double>{15, 0, -15}));
  EXPECT_EQ(valuesOf("5:5:1"), (std::vector<double>{5}));
  EXPECT_EQ(valuesOf("5:5:-1"), (std::vector<double>{5}));
}

TEST(Ranges, ListsJoinValuesAndRanges) {
  EXPECT_EQ(valuesOf("0.5,0.8,0.85"), (std::vector<double>{0.5, 0.8, 0.85}));
  EXPECT_EQ(valuesOf("-15,+15"), (std::vector<double>{-15, 15}));
  EXPECT_EQ(valuesOf("0.1,1:3:1,7"), (std::vector<double>{0.1, 1, 2, 3, 7}));
  EXPECT_EQ(valuesOf("1.5e4"), (std::vector<double>{15000}));
  EXPECT_EQ(valuesOf(" 0.5, 0.8 , 1 : 2 : 1 "), (std::vector<double>{0.5, 0.8, 1, 2}));
}

TEST(Ranges, LongRangesAreMadeOnDemand) {
  const ValueList list = ValueList::parse("0:100:0.000001", "--mach");
  EXPECT_EQ(list.size(), 100000001u);
  EXPECT_EQ(list.at(100000000), 100.0);
  EXPECT_EQ(list.at(12345678), decimal("12.345678"));
  EXPECT_EQ(ValueList::parse("0:1e18:1", "--mach").size(), 1000000000000000001u);
  // Each value of a list of several long segments, at the joins.
  const ValueList joined = ValueList::parse("1,0:199999:1,-3,10:12:1", "--mach");
  ASSERT_EQ(joined.size(), 200005u);
  const std::pair<std::uint64_t, double> values[] = {{0, 1},       {1, 0},       {200000, 199999},
                                                     {200001, -3}, {200002, 10}, {200004, 12}};
  for (const auto& [index, value] : values) EXPECT_EQ(joined.at(index), value) << index;
  EXPECT_EQ(joined.extreme(false), -3.0);
  EXPECT_EQ(joined.extreme(true), 199999.0);
}

TEST(Ranges, BadTextIsRefusedNamingTheOptionAndTheText) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "--altitude: empty value"},
      {"0,,1", "--altitude: empty value in \"0,,1\""},
      {"1,", "--altitude: empty value"},
      {"abc", "--altitude: not a number: \"abc\""},
      {"1.2.3", "not a number: \"1.2.3\""},
      {"0x10", "not a number: \"0x10\""},
      {"1e", "not a number: \"1e\""},
      {"--5", "not a number: \"--5\""},
      {"0.5, ", "--altitude: empty value in \"0.5, \""},
      {"5 0", "not a number: \"5 0\""},
      {"1e400", "--altitude: out of range: \"1e400\""},
      {"-1e400", "out of range: \"-1e400\""},
      {"nan", "not a finite number: \"nan\""},
      {"-inf", "not a finite number: \"-inf\""},
      {"Infinity", "not a finite number: \"Infinity\""},
      {"0:1", "a range is START:STOP:STEP, found \"0:1\""},
      {"0:1:0.1:2", "a range is START:STOP:STEP, found \"0:1:0.1:2\""},
      {"0:1:0", "range \"0:1:0\": the step is zero"},
      {"0:1:-0.0", "the step is zero"},
      {"0:1:-0.1", "range \"0:1:-0.1\": the step \"-0.1\" leads away from \"1\""},
      {"1:0:0.1", "the step \"0.1\" leads away from \"0\""},
      {"0:1:inf", "range \"0:1:inf\": step: not a finite number: \"inf\""},
      {"0:1:nan", "step: not a finite number"},
      {"0:1e400:1", "stop: out of range"},
      {"x:1:1", "start: not a number: \"x\""},
      {"0:1:", "step: empty value"},
      {"0:1e19:1", "range \"0:1e19:1\": too many values (about 1e+19)"},
      {"0:1e308:1", "too many values (about 1e+308)"},
      {"0:1:1e-30", "too many values (about 1e+30)"},
      {"0:1:0.1234567890123456789", "too many digits to step exactly"},
      {"1e20:1.00000000000000000001e20:1", "too many digits to step exactly"},
  };
  for (const auto& [text, message] : cases) {
    EXPECT_NE(refusal(text).find(message), std::string::npos) << text << " gave: " << refusal(text);
  }
}

TEST(Numbers, DecimalCommaIsNamedAndNumbersReadInAnyLocaleTheSame) {
  double value = 0.0;
  EXPECT_EQ(table::parseNumber("0,5", value), "not a number (a decimal comma?): \"0,5\"");
  EXPECT_EQ(table::parseNumber(".5", value), "");
  EXPECT_EQ(value, 0.5);
  EXPECT_EQ(table::parseNumber("5.", value), "");
  EXPECT_EQ(value, 5.0);
  EXPECT_EQ(table::parseNumber("-2.5E-3", value), "");
  EXPECT_EQ(value, -0.0025);
  EXPECT_EQ(table::parseNumber(std::string(100, '7'), value), "");
}

// Echoed text never carries a control character, a C1 control or a byte that is not UTF-8 to the
// terminal, and a long one is cut between characters.
TEST(Numbers, EchoedTextIsEscapedAndCutBetweenCharacters) {
  const std::pair<std::string, std::string> cases[] = {
      {"x\x1b[2Jy.csv", "x\\x1b[2Jy.csv"},
      {"a\xc2\x9b"
       "1m\x7f",
       "a\\xc2\\x9b1m\\x7f"},
      {"raw\x9b\xff\xed\xa0\x80", "raw\\x9b\\xff\\xed\\xa0\\x80"},
      {"H\xc3\xb6he \xe2\x82\xac", "H\xc3\xb6he \xe2\x82\xac"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(table::printable(text), shown);
  EXPECT_EQ(table::quoted(std::string(39, 'x') + "\xc3\xb6rest"), "\"" + std::string(39, 'x') + "...\"");
}

TEST(Numbers, WrittenAsTheShortestRoundTripOrWithSignificantDigits) {
  const std::pair<double, const char*> shortest[] = {
      {0.1 + 0.2, "0.30000000000000004"},
      {11000.0, "11000"},
      {1e-7, "1e-07"},
      {-0.0, "-0"},
      {1.0 / 0.0, "inf"},
      {-1.0 / 0.0, "-inf"},
      {-std::numeric_limits<double>::quiet_NaN(), "nan"},
      {2.5e300, "2.5e+300"},
  };
  std::array<char, 32> text{};
  for (const auto& [value, expected] : shortest) {
    EXPECT_EQ(std::string(text.data(), table::formatNumber(text.data(), value, 0)), expected);
  }
  EXPECT_EQ(std::string(text.data(), table::formatNumber(text.data(), 0.8629911399944502, 6)), "0.862991");
  EXPECT_EQ(std::string(text.data(), table::formatNumber(text.data(), 21149687.21469305, 6)), "2.11497e+07");
  EXPECT_EQ(std::string(text.data(), table::formatNumber(text.data(), 216.65, 17)), "216.65000000000001");
  EXPECT_EQ(std::string(text.data(), table::formatNumber(text.data(), 567792.6, 1)), "6e+05");
  EXPECT_EQ(std::string(text.data(), table::formatNumber(text.data(), -1.0 / 0.0, 3)), "-inf");
  // The longest shortest text there is still fits.
  EXPECT_EQ(std::string(text.data(), table::formatNumber(text.data(), -2.2250738585072014e-308, 17)),
            "-2.2250738585072014e-308");
}

}  // namespace
