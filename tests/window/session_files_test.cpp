#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "test_files.h"
#include "window_app.h"
#include "window_driver.h"

namespace {

namespace fs = std::filesystem;

// Every file below a directory (directories themselves left out), as paths relative to it.
std::set<std::string> filesBelow(const fs::path& top) {
  std::set<std::string> found;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(top)) {
    if (!entry.is_directory()) {
      found.insert(entry.path().lexically_relative(top).string());
    }
  }
  return found;
}

}  // namespace

// A whole session, from a fresh working directory under the fresh HOME the test process starts
// with, leaves only the reports it saved and the toolkit's own settings under $HOME/.foxrc.
TEST(SessionFiles, OnlyReportsAndToolkitSettingsAreCreated) {
  const char* homeVariable = std::getenv("HOME");
  ASSERT_NE(homeVariable, nullptr);
  const fs::path home(homeVariable);
  const TempDir scratch;
  const fs::path& work = scratch.path();
  const fs::path before = fs::current_path();
  fs::current_path(work);
  {
    WindowDriver driver(testApplication());
    driver.type(driver.input(0), "0.85");
    driver.press(driver.button("Compute"));
    // A bare name is taken in the dialog's starting directory, the working directory.
    EXPECT_TRUE(driver.saveAs("first.out").empty());
    EXPECT_TRUE(driver.saveAs((work / "second.out").string()).empty());
    EXPECT_TRUE(driver.saveAs("").empty());
    EXPECT_EQ(driver.saveAs("missing-folder/third.out").size(), 1u);
  }
  // What FXApp::exit does on the way out of a real session.
  testApplication()->reg().write();
  fs::current_path(before);

  EXPECT_EQ(filesBelow(work), (std::set<std::string>{"first.out", "second.out"}));
  const std::string settings = (fs::path(".foxrc") / "FOX Quorvan" / "Quorvan").string();
  for (const std::string& file : filesBelow(home)) {
    EXPECT_EQ(file.rfind(".foxrc/", 0), 0u) << "$HOME/" << file << " written by the session";
  }
  const std::string text = fileContents(home / settings);
  EXPECT_NE(text.find("[File Dialog]"), std::string::npos) << "$HOME/" << settings << ":\n" << text;
}
