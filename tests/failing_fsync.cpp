#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "failing_fsync.h"

// Runs a program whose fsync and fdatasync fail with EIO: failing_fsync PROGRAM [ARGS...]. Exits
// 125 when the filter cannot be installed, 126 or 127 when the program cannot be run, as env does.
int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::cerr << "usage: failing_fsync PROGRAM [ARGS...]\n";
    return 125;
  }
  if (!makeFsyncFail()) {
    std::cerr << "failing_fsync: cannot install the seccomp filter: " << std::strerror(errno) << '\n';
    return 125;
  }
  ::execvp(argv[1], argv + 1);
  const int reason = errno;
  std::cerr << "failing_fsync: cannot run " << argv[1] << ": " << std::strerror(reason) << '\n';
  return reason == ENOENT ? 127 : 126;
}
