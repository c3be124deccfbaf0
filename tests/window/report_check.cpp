#include "report_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>

namespace {

// Report line names and the window field each one repeats; the speed of sound is not reported.
// clang-format off
const std::map<std::string, std::size_t> reportedField{
    {"Mach", 0}, {"H", 1}, {"N", 2}, {"G", 3}, {"L", 4}, {"S", 5}, {"Clift", 6}, {"Re", 7}, {"Uref", 8},
    {"Tref", 10}, {"Mu", 11}, {"Nu", 12}, {"Rho", 13}, {"P", 14}, {"0.5*Rho*U*U", 15}, {"S*0.5*Rho*U*U", 16}};
// clang-format on

}  // namespace

void expectReportRepeatsWindow(const std::filesystem::path& file, const std::vector<std::string>& window) {
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
