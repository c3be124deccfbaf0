#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "case_reader.h"
#include "columns.h"
#include "condition.h"
#include "row_writer.h"
#include "values.h"

namespace table {

using namespace aero;
using namespace aero::col;

// The swept inputs: one speed (mach, tas, eas or cas), the altitude and the rest, in the order of
// the sweep (the first slowest).
inline constexpr std::size_t inputCount = 7;

// The command-line option of an input: "--load-factor".
inline std::string optionName(Column input) {
  std::string option = "--" + std::string(columnKinds[input].name);
  std::replace(option.begin(), option.end(), '_', '-');
  return option;
}

// What to compute.
struct Job {
  Setup setup;
  // The swept inputs in the sweep's order, the first slowest.
  std::array<Column, inputCount> inputs{mach, altitude, loadFactor, weight, refLength, refArea, isaOffset};
  // The values the command line gives each input; without them an input takes the case file's
  // value or its default.
  std::array<std::optional<ValueList>, inputCount> values;
  // The case file, or nullptr for the command-line sweep alone.
  CaseReader* cases = nullptr;

  // Solves for mach or altitude: the target's values take the unknown's place in the sweep.
  void solveFor(Column unknown, Column target, std::optional<ValueList> targets);
  // Takes the cases of a file: its speed column decides the speed when no option gives one, its
  // geometric_altitude column makes the altitudes geometric, its target column gives the target
  // of a solve when no option does, and options replace its columns.
  void readCases(CaseReader& reader);
  // Refuses a solve without a target, or for the altitude with a speed other than Mach or TAS.
  void checkSolve() const;
};

// The columns --columns names, comma-separated without unit suffixes, or "all": the default ones,
// then every other. Throws InputError, listing the names, for an unknown one.
std::vector<Column> parseColumns(std::string_view text, Column speed);
// The layout of a job's table showing these columns; tells the job's setup which they are.
Layout layoutOf(Job& job, const std::vector<Column>& columns, char separator, int digits);

// Number of rows of the command-line sweep (per case row with a case file); UINT64_MAX when the
// product does not fit.
std::uint64_t sweepSize(const Job& job);

// Refuses a command-line sweep (no case file) with a case the atmosphere cannot take, so that it
// fails before anything is written. Throws InputError.
void checkSweep(const Job& job);

// A one-line count of rows done on a terminal's standard error, shown once a run has taken a
// second, at most ten times a second, and erased at the end. Does nothing when the descriptor is
// not a terminal.
class Progress {
 public:
  Progress(int descriptor, std::uint64_t total);
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;
  ~Progress() { finish(); }

  // Cheap enough to call for every row.
  void update(std::uint64_t rows) {
    if (enabled && (rows & 0x3fff) == 0) show(rows);
  }
  // Erases the line, if it was shown.
  void finish();

 private:
  // Shows the count when a second has passed since the start and a tenth since the last time.
  void show(std::uint64_t rows);

  int fd;
  std::uint64_t total;
  bool enabled;
  bool shown = false;
  std::chrono::steady_clock::time_point start;
  std::chrono::steady_clock::time_point last;
};

struct RunSummary {
  std::uint64_t rows = 0;
  // Rows whose geopotential altitude lies outside 0 to 88000 m: the end layers continue.
  std::uint64_t extrapolated = 0;
  // Rows of a solve whose target no value of the unknown reaches.
  std::uint64_t unsolved = 0;
};

// Computes every row of the job and writes it. Throws InputError for a case the atmosphere cannot
// take, std::system_error for a failed write, Interrupted when stopSignal is set.
RunSummary runJob(const Job& job, RowWriter& writer, Progress& progress);

}  // namespace table
