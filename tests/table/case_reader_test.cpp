#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "case_reader.h"
#include "table_run.h"
#include "table_test_support.h"
#include "test_files.h"

namespace {

using table::CaseReader;

// The inputs of every case of a text as the table writes them (the first seven columns), the
// job's options applied.
std::vector<std::string> casesOf(const std::string& text, table::Job job = {}) {
  MemoryFile in(text);
  CaseReader reader(in.descriptor(), "cases.csv");
  job.readCases(reader);
  std::vector<std::string> cases = linesOf(tableOf(job).text);
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
  };
  for (const std::string& text : texts) EXPECT_EQ(casesOf(text), expected) << text;
  EXPECT_TRUE(casesOf("mach\n").empty());
  EXPECT_TRUE(casesOf("mach,altitude\n\n# nothing\n").empty());
}

TEST(CaseReader, CommandLineInputsReplaceTheirColumnUnread) {
  table::Job job;
  job.values[1] = table::ValueList::parse("-5", "--altitude");
  EXPECT_EQ(casesOf("mach,altitude\n0.5,not read\n", job), std::vector<std::string>{"0.5,-5,1,50,3.5,56,0"});
}

TEST(CaseReader, ReadsBackTheToolsOwnTableToTheSameRows) {
  for (const char separator : {',', '\t'}) {
    table::Job job;
    job.values[0] = table::ValueList::parse("0,0.3:0.9:0.3", "--mach");
    job.values[1] = table::ValueList::parse("-500,11000,90000", "--altitude");
    job.values[6] = table::ValueList::parse("-15,20", "--isa-offset");
    job.setup.geometric = true;
    const Written first = tableOf(job, separator);
    EXPECT_EQ(first.summary.rows, 24u);

    // The outputs (inf and nan among them) are skipped and the inputs recomputed to the same text.
    MemoryFile in(first.text);
    CaseReader reader(in.descriptor(), "first.csv");
    table::Job again;
    again.readCases(reader);
    EXPECT_EQ(tableOf(again, separator).text, first.text);
    EXPECT_NE(first.text.find(separator == ',' ? ",inf," : "\tinf\t"), std::string::npos);
  }
}

TEST(CaseReader, EveryRefusalNamesTheLineTheColumnAndTheText) {
  using namespace std::string_literals;
  const std::pair<std::string, std::string> cases[] = {
      {"", "cases.csv: no header line"},
      {"# only a comment\n\n", "cases.csv: no header line"},
      {"mach,speed\n", "cases.csv:1: column 2: unknown column \"speed\""},
      {"mach,\n", "cases.csv:1: column 2: unknown column \"\""},
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
      {"mach,altitude\r\n0.5,1\r\nnan,1\r\n", "cases.csv:3: column mach: not a finite number: \"nan\""},
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
}

}  // namespace
