#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "case_reader.h"
#include "columns.h"
#include "table_test_support.h"
#include "test_files.h"

namespace {

using table::CaseReader;

// The inputs of every case of a text as the table writes them (the first seven columns), the
// request's options applied.
std::vector<std::string> casesOf(const std::string& text, const table::Request& request = {}) {
  std::vector<std::string> cases = linesOf(tableOf(request, text).text);
  cases.erase(cases.begin());
  for (std::string& line : cases) {
    std::size_t end = 0;
    for (int i = 0; i < 7; ++i) end = line.find(',', end) + 1;
    line.resize(end - 1);
  }
  return cases;
}

std::string refusal(const std::string& text) {
  return refusalOf([&text] { casesOf(text); });
}

TEST(CaseReader, ColumnsInAnyOrderAndTheRestFromTheDefaults) {
  EXPECT_EQ(casesOf("ref_area,isa_offset,mach\n60,15,0.5\n70,-10,0.85\n"),
            (std::vector<std::string>{"0.5,11000,1,50,3.5,60,15", "0.85,11000,1,50,3.5,70,-10"}));
  EXPECT_EQ(casesOf("isa_offset,ref_area,ref_length,weight,load_factor,altitude,mach\n7,6,5,4,3,2,1\n"),
            std::vector<std::string>{"1,2,3,4,5,6,7"});
}

TEST(CaseReader, TabsCrlfBlankLinesCommentsQuotesAndSpacesAreAccepted) {
  const std::vector<std::string> expected{"0.5,1000,1,50,3.5,56,0", "0.7,-300,1,50,3.5,56,0"};
  const std::string texts[] = {
      "mach,altitude\n0.5,1000\n0.7,-300\n",
      "mach\taltitude\n0.5\t1000\n0.7\t-300",
      "mach,altitude\r\n0.5,1000\r\n\r\n0.7,-300\r\n",
      "# flight test matrix\n\nmach,altitude\n# first point\n0.5,1000\n   \n0.7,-300\n# end\n",
      "\xEF\xBB\xBFmach , altitude\n 0.5 , 1000\n0.7,\t-300\t\n",
      "\xEF\xBB\xBF# exported\n\"mach\",\"altitude\"\r\n \"0.5\" ,1000\n0.7,\"-300\"\n",
      "\"\",\"mach\",\"altitude\"\n\"1\",0.5,1000\n\"case 2\",0.7,-300\n",
      "mach,altitude,\n0.5,1000,\n0.7,-300,\n",
      "mach,cas,altitude\n0.5,999,1000\n0.7,nan,-300\n",
  };
  for (const std::string& text : texts) EXPECT_EQ(casesOf(text), expected) << text;
  EXPECT_TRUE(casesOf("mach\n").empty());
  EXPECT_TRUE(casesOf("mach,altitude\n\n# nothing\n").empty());
}

TEST(CaseReader, CommandLineInputsReplaceTheirColumnUnread) {
  table::Request request;
  request.values[table::altitude] = "-5";
  EXPECT_EQ(casesOf("mach,altitude\n0.5,not read\n", request), std::vector<std::string>{"0.5,-5,1,50,3.5,56,0"});
}

TEST(CaseReader, ReadsBackTheToolsOwnTableToTheSameRows) {
  for (const char separator : {',', '\t'}) {
    table::Request request;
    request.values[table::mach] = "0,0.3:0.9:0.3";
    request.values[table::altitude] = "-500,11000,90000";
    request.values[table::isaOffset] = "-15,20";
    request.geometric = true;
    request.separator = separator;
    const Written first = tableOf(request, std::nullopt);
    EXPECT_EQ(first.summary.rows, 24u);

    // The outputs (inf and nan among them) are skipped and the inputs recomputed to the same text.
    table::Request again;
    again.separator = separator;
    EXPECT_EQ(tableOf(again, first.text).text, first.text);
    EXPECT_NE(first.text.find(separator == ',' ? ",inf," : "\tinf\t"), std::string::npos);
  }
}

TEST(CaseReader, EveryRefusalNamesTheLineTheColumnAndTheText) {
  using namespace std::string_literals;
  const std::pair<std::string, std::string> cases[] = {
      {"", "cases.csv: no header line"},
      {"# only a comment\n\n", "cases.csv: no header line"},
      {"mach,speed\n", "cases.csv:1: column 2: unknown column \"speed\""},
      {"mach,\n0.5,0.85\n", "cases.csv:2: column 2 has no name but holds the number \"0.85\""},
      {"altitude_kt\n",
       "cases.csv:1: column 1: \"altitude_kt\": _kt is a unit of another quantity; altitude takes _ft"},
      {"\n#\naltitude,Mach\n", "cases.csv:3: column 2: unknown column \"Mach\""},
      {"mach,altitude,mach\n", "cases.csv:1: column 3: repeated column \"mach\""},
      {"mach,density,density\n", "cases.csv:1: column 3: repeated column \"density\""},
      {"altitude,geometric_altitude\n", "cases.csv:1: column 2: repeated column \"geometric_altitude\""},
      {"velocity,temperature\n100,250\n",
       "cases.csv:1: no input column (the inputs are mach, tas, eas, cas, altitude, load_factor, weight, ref_length, "
       "ref_area, isa_offset, geometric_altitude)"},
      {"mach,altitude\n0.5,1000\n0.7\n", "cases.csv:3: 1 cell where the header has 2: \"0.7\""},
      {"mach,altitude\n0.5,1000,3\n", "cases.csv:2: 3 cells where the header has 2: \"0.5,1000,3\""},
      {"mach\taltitude\n0.5,1000\n", "cases.csv:2: 1 cell where the header has 2"},
      {"mach,altitude\n0.5,\n", "cases.csv:2: column altitude: empty cell"},
      {"mach,altitude\n0.5,  \n", "cases.csv:2: column altitude: empty cell"},
      {"mach\taltitude\n0,5\t1000\n", "cases.csv:2: column mach: not a number (a decimal comma?): \"0,5\""},
      {"mach,altitude\n\n0.5,1e400\n", "cases.csv:3: column altitude: out of range: \"1e400\""},
      {"mach,altitude\r\n0.5,1\r\ninf,1\r\n", "cases.csv:3: column mach: not a finite number: \"inf\""},
      {"altitude_km\n1e308\n", "cases.csv:2: column altitude_km: \"1e308\" km is too large to convert to m"},
      {"weight\n-inf\n", "cases.csv:2: column weight: not a finite number: \"-inf\""},
      {"weight\n\"5\"\"0\"\n", "cases.csv:2: column weight: not a number: \"5\"0\""},
      {"weight\n\"50\n", "cases.csv:2: a quote not closed on its line: \"\"50\""},
      {"weight\n\"50\" t\n", "cases.csv:2: text after a closing quote: \"\"50\" t\""},
      {"m\0a\0c\0h\0\n"s, "cases.csv:1: column 1: unknown column \"m\\x00a\\x00c\\x00h\\x00\""},
      {"weight\n\x1b]0;owned\x07\n", "cases.csv:2: column weight: not a number: \"\\x1b]0;owned\\x07\""},
      {"weight\n50\n" + std::string(1100000, '5'), "cases.csv:3: a line longer than 1 MiB"},
  };
  for (const auto& [text, message] : cases) {
    EXPECT_EQ(refusal(text).substr(0, message.size()), message) << text;
  }
  // A line of 1 MiB is read and one of a byte more refused, wherever the reads of the file fall.
  for (const std::size_t before : {0, 1, 4095, 65535, 65537}) {
    const std::string start = "weight\n" + std::string(before, '#') + "\n#";
    EXPECT_EQ(refusal(start + std::string((1 << 20) - 1, 'x') + "\n50\n"), "no error") << before;
    EXPECT_EQ(refusal(start + std::string(1 << 20, 'x') + "\n50\n"), "cases.csv:3: a line longer than 1 MiB") << before;
  }
}

// Every table the tool writes reads back as the same table when it holds the inputs not at their
// defaults, whatever its columns, units and solve: read with the same options, the inputs (a
// solve's target among them) give every other column again.
TEST(CaseReader, ReadsBackTheToolsOwnTables) {
  const auto request = [](std::vector<std::pair<table::Column, const char*>> values, const char* columns,
                          table::Column unknown = table::columnCount, bool geometric = false) {
    table::Request r;
    for (const auto& [column, text] : values) r.values[column] = text;
    if (columns != nullptr) r.columns = columns;
    r.unknown = unknown;
    r.geometric = geometric;
    r.units[static_cast<std::size_t>(aero::Quantity::speed)] = aero::units[5];
    r.units[static_cast<std::size_t>(aero::Quantity::altitude)] = aero::units[2];
    return r;
  };
  const table::Request requests[] = {
      request({{table::cas, "250,300"}, {table::altitude, "1e4:3e4:1e4"}, {table::isaOffset, "15"}},
              "cas,altitude,isa_offset,tas,mach,lift_coefficient"),
      request({{table::mach, "0.5,0.8"}, {table::altitude, "0,35000"}, {table::weight, "60"}},
              "mach,geopotential_altitude,altitude,weight,lift_coefficient"),
      request({{table::mach, "0.3,0.8"}, {table::reynolds, "1e7:7e7:2e7"}}, "mach,reynolds,altitude,temperature",
              table::altitude, true),
      request({{table::liftCoefficient, "0.3:1.2:0.3"}, {table::altitude, "0,40000"}}, "lift_coefficient,altitude,mach",
              table::mach),
  };
  for (const table::Request& first : requests) {
    const Written written = tableOf(first);
    table::Request again = first;
    again.values = {};
    EXPECT_EQ(tableOf(again, written.text).text, written.text);
  }
  // Read without its solve, a row whose target was not met reads as a case with a nan input.
  const Written solved = tableOf(requests[2]);
  table::Request forward = requests[2];
  forward.values = {};
  forward.unknown = table::columnCount;
  EXPECT_EQ(solved.summary.unsolved, 4u);
  EXPECT_EQ(tableOf(forward, solved.text).summary.nanInputs, 4u);
}

}  // namespace
