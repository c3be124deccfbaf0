#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "window_app.h"

namespace {

FXApp* application = nullptr;

// One toolkit application for the whole test process, under the program's own names, with HOME in
// a fresh temporary directory so that no test reads or writes the user's settings.
class WindowEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    home = (std::filesystem::temp_directory_path() / "quorvan-home-XXXXXX").string();
    ASSERT_NE(mkdtemp(home.data()), nullptr);
    setenv("HOME", home.c_str(), 1);
    application = new FXApp("Quorvan", "FOX Quorvan");
    static int argc = 1;
    static char name[] = "window_test";
    static char* argv[] = {name, nullptr};
    application->init(argc, argv, false);
    ASSERT_TRUE(application->openDisplay()) << "the window tests need an X display (DISPLAY is unset or unusable)";
    application->create();
  }

  void TearDown() override {
    delete application;
    application = nullptr;
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
  }

 private:
  std::string home;
};

}  // namespace

FXApp* testApplication() {
  return application;
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::AddGlobalTestEnvironment(new WindowEnvironment);
  return RUN_ALL_TESTS();
}
