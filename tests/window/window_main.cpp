#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_files.h"
#include "window_app.h"

namespace {

FXApp* application = nullptr;

// One toolkit application for the whole test process, under the program's own names, with HOME in
// a fresh temporary directory so that no test reads or writes the user's settings.
class WindowEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    setenv("HOME", home.path().c_str(), 1);
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
  }

 private:
  TempDir home;
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
