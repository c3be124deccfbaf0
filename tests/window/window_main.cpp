#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "prerequisites.h"
#include "test_files.h"
#include "window_app.h"

namespace {

FXApp* application = nullptr;
// Set when a prerequisite is missing and every test is skipped.
bool skipped = false;
// CTest's sign for a skipped run (SKIP_RETURN_CODE): a skip in the global set-up alone would be
// counted as a pass.
constexpr int skipExitCode = 77;

// The locale the environment asks for, LC_ALL first, then LANG; empty when none is named.
std::string wantedLocale() {
  for (const char* variable : {"LC_ALL", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') {
      return value;
    }
  }
  return {};
}

// One toolkit application for the whole test process, under the program's own names, with HOME in
// a fresh temporary directory so that no test reads or writes the user's settings. Like the program,
// the process ignores SIGPIPE and SIGXFSZ: the window's own save handler runs here.
class WindowEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    setenv("HOME", home.path().c_str(), 1);
    const std::string locale = wantedLocale();
    if (!locale.empty() && std::setlocale(LC_ALL, "") == nullptr) {
      const std::string reason = "the locale " + locale + " is not available (generate it with locale-gen)";
      failIfStrict(reason);
      skipped = true;
      GTEST_SKIP() << reason;
    }
    application = new FXApp("Quorvan", "FOX Quorvan");
    static int argc = 1;
    static char name[] = "window_test";
    static char* argv[] = {name, nullptr};
    application->init(argc, argv, false);
    if (!application->openDisplay()) {
      const std::string reason = "the window tests need an X display (DISPLAY is unset or unusable)";
      failIfStrict(reason);
      skipped = true;
      GTEST_SKIP() << reason;
    }
    application->create();
  }

  void TearDown() override {
    delete application;
    application = nullptr;
  }

 private:
  // Under QUORVAN_STRICT_TESTS=1 a missing prerequisite ends the run with a failure. (A failure in
  // the global set-up would still list every test as skipped, which CTest counts as a skip.)
  void failIfStrict(const std::string& reason) {
    if (strictTests()) {
      std::cerr << "FAILED: " << reason << " (QUORVAN_STRICT_TESTS=1)" << std::endl;
      std::error_code ignored;
      std::filesystem::remove_all(home.path(), ignored);
      std::exit(1);
    }
  }

  TempDir home;
};

}  // namespace

FXApp* testApplication() {
  return application;
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::AddGlobalTestEnvironment(new WindowEnvironment);
  const int result = RUN_ALL_TESTS();
  return skipped ? skipExitCode : result;
}
