#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "report_check.h"
#include "test_files.h"
#include "window_app.h"
#include "window_driver.h"

namespace {

namespace fs = std::filesystem;

// Each test runs in a fresh temporary directory, which is also the working directory the save
// dialog starts in.
class WindowReportTest : public testing::Test {
 protected:
  void SetUp() override { fs::current_path(dir.path()); }
  void TearDown() override { fs::current_path(previous); }

  // Every number of the report file is what the window shows in the matching field.
  void expectReportMatchesWindow(const fs::path& file) {
    EXPECT_EQ(linesOf(fileContents(file)).size(), 23u);
    expectReportRepeatsWindow(file, window.fieldTexts());
  }

  // Types into an input field and presses "Compute".
  void typeAndCompute(std::size_t inputRow, const std::string& text) {
    window.type(window.input(inputRow), text);
    window.press(window.button("Compute"));
  }

  TempDir dir;
  const fs::path previous = fs::current_path();
  WindowDriver window{testApplication()};
};

TEST_F(WindowReportTest, ReportHoldsTheValuesTheWindowShows) {
  const std::string defaultLift = window.output(0)->getText().text();
  typeAndCompute(0, "0.85");
  ASSERT_NE(window.output(0)->getText().text(), defaultLift) << "Compute changed nothing";

  // A relative name lands in the working directory, where the dialog starts.
  EXPECT_TRUE(window.saveAs("ref.out").empty());
  const std::vector<std::string> report = linesOf(fileContents(dir / "ref.out"));
  ASSERT_GT(report.size(), 2u);
  EXPECT_EQ(report[2], " Mach = 0.85");
  expectReportMatchesWindow(dir / "ref.out");
}

TEST_F(WindowReportTest, TypedValuesAreWrittenAsTheyStandWithoutRecomputing) {
  window.type(window.output(0), "1.5");
  window.type(window.output(1), "123");
  window.type(window.input(0), "0.9");
  EXPECT_TRUE(window.saveAs((dir / "typed.out").string()).empty());
  const std::vector<std::string> report = linesOf(fileContents(dir / "typed.out"));
  ASSERT_EQ(report.size(), 23u);
  EXPECT_EQ(report[2], " Mach = 0.9");
  EXPECT_EQ(report[11], " Clift= 1.5");
  EXPECT_EQ(report[12], " Re   = 123");
  EXPECT_EQ(report[13], " Uref = 236.056 m/sec") << "the report recomputed the outputs";
  expectReportMatchesWindow(dir / "typed.out");
}

TEST_F(WindowReportTest, CancelWritesNothingAndSavingAgainReplacesTheFile) {
  const fs::path file = dir / "ref.out";
  constexpr char raw[] = "kept \0 as it is\r\nwithout newline";
  const std::string existing(raw, sizeof raw - 1);
  std::ofstream(file, std::ios::binary) << existing;
  EXPECT_TRUE(window.saveAs("").empty());
  EXPECT_TRUE(window.saveDialogOpened());
  EXPECT_EQ(fileContents(file), existing);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

  // The first report is the longer one: anything left of it past the second shows.
  typeAndCompute(1, "1234.5678");
  EXPECT_TRUE(window.saveAs(file.string()).empty());
  window.type(window.output(0), "1");
  window.type(window.output(1), "2");
  EXPECT_TRUE(window.saveAs(file.string()).empty());
  EXPECT_TRUE(window.saveAs((dir / "second.out").string()).empty());
  EXPECT_EQ(fileContents(file), fileContents(dir / "second.out"));
  EXPECT_EQ(linesOf(fileContents(file)).at(11), " Clift= 1");
}

// Clicking OK in the save dialog accepts any name typed, a directory included (Enter in
// "File Name:" would open a directory instead); a failure, at the open or at the write, then shows
// one message box.
TEST_F(WindowReportTest, FailedSaveShowsOneErrorAndTheWindowGoesOn) {
  // The reason is the system's text, in the language of the user's locale.
  const std::vector<std::pair<std::string, int>> failures = {
      {dir.path().string(), EISDIR},
      {"/dev/full", ENOSPC},
  };
  for (const auto& [name, code] : failures) {
    SCOPED_TRACE(name);
    if (name == "/dev/full" && !fs::exists(name)) {
      continue;
    }
    typeAndCompute(0, "0.85");
    const std::vector<std::string> before = window.fieldTexts();
    const std::vector<std::string> boxes = window.saveAs(name);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("Report not written\n", 0), 0u) << boxes[0];
    EXPECT_NE(boxes[0].find(name + "\n"), std::string::npos) << boxes[0];
    EXPECT_NE(boxes[0].find(std::generic_category().message(code)), std::string::npos) << boxes[0];
    EXPECT_EQ(window.fieldTexts(), before);

    typeAndCompute(0, "0.7");
    EXPECT_NE(window.fieldTexts(), before) << "the window stopped computing";
    EXPECT_TRUE(window.saveAs((dir / "good.out").string()).empty());
    EXPECT_EQ(linesOf(fileContents(dir / "good.out")).at(2), " Mach = 0.7");
    expectReportMatchesWindow(dir / "good.out");
  }
}

}  // namespace
