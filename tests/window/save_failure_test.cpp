#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "test_files.h"
#include "window_app.h"
#include "window_driver.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr char firstLine[] = "The report could not be written to\n";

// The path as an error box shows it, its lines put back together ("" when the box is not one).
std::string shownPath(const std::string& box) {
  const std::size_t start = box.find(firstLine);
  const std::size_t end = box.find("\n\n", start);
  if (start == std::string::npos || end == std::string::npos) {
    return {};
  }
  std::string path = box.substr(start + sizeof firstLine - 1, end - start - (sizeof firstLine - 1));
  path.erase(std::remove(path.begin(), path.end(), '\n'), path.end());
  return path;
}

// Opens a pipe for reading after a while, so that a save which waits for a reader ends (and fails
// its time check) instead of hanging the test.
class PipeWatchdog {
 public:
  explicit PipeWatchdog(const fs::path& pipe)
      : thread([this, pipe] {
          const Clock::time_point until = Clock::now() + std::chrono::seconds(3);
          while (!done && Clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
          }
          if (!done) {
            const int fd = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            ::close(fd);
          }
        }) {}
  PipeWatchdog(const PipeWatchdog&) = delete;
  PipeWatchdog& operator=(const PipeWatchdog&) = delete;
  ~PipeWatchdog() {
    done = true;
    thread.join();
  }

 private:
  std::atomic<bool> done{false};
  std::thread thread;
};

class SaveFailureTest : public testing::Test {
 protected:
  // Saves under a name and expects one error box with the path and the system's reason, shown
  // within a second; the window computes and saves normally afterwards.
  void expectOneErrorBox(const std::string& name, int code) {
    const Clock::time_point start = Clock::now();
    const std::vector<std::string> boxes = window.saveAs(name);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1)) << "the save hung";
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("Report not written\n", 0), 0u) << boxes[0];
    EXPECT_EQ(shownPath(boxes[0]), name);
    EXPECT_NE(boxes[0].find("\n\n" + std::generic_category().message(code) + "."), std::string::npos) << boxes[0];

    const std::string lift = window.output(0)->getText().text();
    const std::string mach = std::to_string(++rounds) + ".5";
    window.type(window.input(0), mach);
    window.press(window.button("Compute"));
    EXPECT_NE(window.output(0)->getText().text(), lift) << "the window stopped computing";
    EXPECT_TRUE(window.saveAs((dir / "after.out").string()).empty());
    EXPECT_NE(fileContents(dir / "after.out").find(" Mach = " + mach + "\n"), std::string::npos);
  }

  // Expects the last save's one message box to lie wholly on the screen.
  void expectBoxOnScreen() {
    ASSERT_EQ(window.boxPlaces().size(), 1u);
    const DialogAnswerer::Place& box = window.boxPlaces()[0];
    EXPECT_GE(box.x, 0);
    EXPECT_GE(box.y, 0);
    EXPECT_LE(box.x + box.width, box.screenWidth) << "box " << box.width << " px wide at x " << box.x;
    EXPECT_LE(box.y + box.height, box.screenHeight) << "box " << box.height << " px high at y " << box.y;
  }

  TempDir dir;
  WindowDriver window{testApplication()};
  int rounds = 0;
};

}  // namespace

// A pipe nobody reads is refused at once with the system's reason, whether no reader ever came or
// one opened it and went away before the save. (A reader leaving between the writer's open and its
// write cannot be arranged through a named pipe: the report follows the open within microseconds.
// ReaderThatWentAwayGivesBrokenPipe shows that case through the pipe's descriptor.)
TEST_F(SaveFailureTest, PipeWithoutReaderIsRefusedAtOnce) {
  const fs::path pipe = dir / "pipe.out";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  {
    PipeWatchdog watchdog(pipe);
    expectOneErrorBox(pipe.string(), ENXIO);
  }
  const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  ::close(reader);
  {
    PipeWatchdog watchdog(pipe);
    expectOneErrorBox(pipe.string(), ENXIO);
  }
}

// A pipe whose reader went away: the write gives "Broken pipe" in the box, and SIGPIPE does not end
// the program. The pipe is named by its descriptor ("/proc/self/fd/N"), so the reader has certainly
// gone before the save.
TEST_F(SaveFailureTest, ReaderThatWentAwayGivesBrokenPipe) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ::close(ends[0]);
  expectOneErrorBox("/proc/self/fd/" + std::to_string(ends[1]), EPIPE);
  ::close(ends[1]);
}

// A reader that stopped reading with the pipe full makes the save fail at once, not wait for it.
TEST_F(SaveFailureTest, StalledReaderDoesNotHangTheWindow) {
  const fs::path pipe = dir / "pipe.out";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  const int filler = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  ASSERT_GE(filler, 0);
  const std::string block(4096, 'x');
  while (::write(filler, block.data(), block.size()) > 0) {
  }
  ASSERT_EQ(errno, EAGAIN);
  expectOneErrorBox(pipe.string(), EAGAIN);
  ::close(filler);
  ::close(reader);
}

// A long name is shown whole, broken into lines, in a box that lies on the screen: a 600-character
// name (too long for the system) and a 168-character path into a folder nobody may create files
// in, root included.
TEST_F(SaveFailureTest, ErrorBoxForALongNameFitsTheScreen) {
  const std::string longName = (dir / std::string(600, 'n')).string() + ".out";
  const std::vector<std::string> boxes = window.saveAs(longName);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(shownPath(boxes[0]), longName);
  EXPECT_NE(boxes[0].find(std::generic_category().message(ENAMETOOLONG)), std::string::npos) << boxes[0];
  expectBoxOnScreen();

  const std::string intoProc = "/proc/self/" + std::string(168 - 15, 'r') + ".out";
  ASSERT_EQ(intoProc.size(), 168u);
  ASSERT_EQ(window.saveAs(intoProc).size(), 1u);
  expectBoxOnScreen();
}
