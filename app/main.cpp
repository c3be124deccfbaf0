#include <fx.h>

#include <csignal>
#include <cstdio>
#include <cstring>

#include "ref_values.h"
#include "version.h"

namespace {

// What --help prints: the program, its usage and the options FXApp::init of FOX 1.6 takes.
const char usage[] =
    "quorvan: a window that computes an aircraft's aerodynamic reference values\n"
    "usage: quorvan [TOOLKIT OPTIONS]\n"
    "\n"
    "Toolkit options (FOX):\n"
    "  -display DISPLAY  the X display to open instead of $DISPLAY\n"
    "  -sync             talk to the X server synchronously (for debugging)\n"
    "  -shm, -noshm      use, or do not use, X shared memory for images\n"
    "  -maxcolors N      allocate at most N colors (2 to 256) on a color-mapped display\n"
    "  -im NAME          the X input method to use\n"
    "  -is STYLE         its input style: onthespot, overthespot, offthespot or root\n"
    "  -tracelevel N     the toolkit's trace level (shown by a debugging build of FOX only)\n"
    "\n"
    "As the only argument:\n"
    "  -h, --help        print this help and exit\n"
    "  --version         print the version and exit\n";

// Prints a text to standard output; false if it could not be written (a closed or full output).
bool print(const char* text) {
  return std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Answered before the toolkit starts, so that neither needs a display.
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    return print(usage) ? 0 : 1;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    return print((FXString("quorvan ") + aero::version + "\n").text()) ? 0 : 1;
  }
  // A report written to a pipe whose reader went away, or past the file size limit, is a failed save
  // told in the error box ("Broken pipe", "File too large"), not the end of the program.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  FXApp application("Quorvan", "FOX Quorvan");
  application.init(argc, argv);
  new RefValues(&application);
  application.create();
  return application.run();
}
