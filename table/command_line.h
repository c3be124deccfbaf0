#pragma once

#include <optional>
#include <string>

#include "job.h"

namespace table {

// What the command line asks for.
struct CommandLine {
  Request request;
  // The case file's name (- for standard input), if any.
  std::optional<std::string> cases;
  // The output file; empty for standard output.
  std::string output;
  bool header = true;
};

// Reads the command line. Returns the exit status when the program ends at once: after --help or
// --version, or after saying what is wrong with the command line (2).
std::optional<int> readCommandLine(int argc, char** argv, CommandLine& line);

}  // namespace table
