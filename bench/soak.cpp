#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include <fx.h>

#include "ref_values.h"
#include "test_files.h"
#include "window_driver.h"

namespace {

// Resident set size of this process in KiB.
long residentKiB() {
  long pages = 0, resident = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
      resident = 0;
    }
    std::fclose(statm);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Presses "Compute" a number of times, typing a new Mach number and refreshing the window now and
// then; saves the report a number of times. Returns the saves that failed or showed a message.
int exercise(WindowDriver& driver, int computes, int saves, const std::string& reportFile) {
  FXButton* compute = driver.button("Compute");
  for (int i = 0; i < computes; ++i) {
    if (i % 1000 == 0) {
      driver.type(driver.input(0), std::to_string(0.1 + (i / 1000 % 40) * 0.05));
    }
    driver.press(compute);
  }
  int failures = 0;
  for (int i = 0; i < saves; ++i) {
    std::error_code ignored;
    std::filesystem::remove(reportFile, ignored);
    // A save that showed a message, or wrote no report or an empty one, failed.
    std::error_code missing;
    const bool messages = !driver.saveAs(reportFile).empty();
    if (messages || std::filesystem::file_size(reportFile, missing) == 0 || missing) {
      ++failures;
    }
  }
  return failures;
}

// A count given on the command line: a whole number from 0 to max, nothing else.
bool parseCount(const char* text, int max, int& count) {
  const std::string_view view(text);
  const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), count);
  return error == std::errc() && end == view.data() + view.size() && count >= 0 && count <= max;
}

}  // namespace

// Usage: quorvan_soak [COMPUTES [SAVES]], by default 100000 presses of "Compute" and 1000 reports.
int main(int argc, char* argv[]) {
  // Settings go to a fresh HOME, never the user's.
  const TempDir home;
  setenv("HOME", home.path().c_str(), 1);
  const std::string reportFile = (home / "soak.out").string();

  FXApp application("Quorvan", "FOX Quorvan");
  application.init(argc, argv);
  // The toolkit has taken its own options out of argv by now.
  int computes = 100000;
  int saves = 1000;
  if (argc > 3 || (argc > 1 && !parseCount(argv[1], 100000000, computes)) ||
      (argc > 2 && !parseCount(argv[2], 1000000, saves))) {
    std::fprintf(stderr, "usage: quorvan_soak [COMPUTES (0-100000000) [SAVES (0-1000000)]]\n");
    return 2;
  }
  application.create();
  const long start = residentKiB();
  int failures = 0;
  long warm = 0, end = 0;
  {
    WindowDriver driver(&application);
    failures += exercise(driver, 1000, 10, reportFile);
    warm = residentKiB();
    failures += exercise(driver, computes, saves, reportFile);
    end = residentKiB();
  }
  std::printf("resident KiB: start %ld, after warm-up %ld, end %ld; growth after warm-up %ld KiB\n", start, warm, end,
              end - warm);
  std::printf("saves failed: %d\n", failures);
  return failures == 0 ? 0 : 1;
}
