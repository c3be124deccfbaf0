#pragma once

#include <array>
#include <chrono>
#include <cstdint>

#include "case_reader.h"
#include "columns.h"
#include "reference_values.h"
#include "row_writer.h"
#include "values.h"

namespace table {

// The inputs' values when nothing gives them: the window's first display, on a standard day.
inline constexpr Inputs defaultInputs{aero::defaultMach,
                                      aero::defaultAltitude,
                                      aero::defaultLoadFactor,
                                      aero::defaultWeight,
                                      aero::defaultRefLength,
                                      aero::defaultRefArea,
                                      0.0};

// The table row of one case: the inputs, the geopotential altitude, then the window's outputs,
// computed as the window computes them. geometric: the altitude is geometric and converted first.
Row computeRow(const Inputs& inputs, bool geometric);

// What to compute: the values of each input (one default value when not given) and where they
// came from.
struct Job {
  std::array<ValueList, inputCount> values{ValueList(defaultInputs[0]), ValueList(defaultInputs[1]),
                                           ValueList(defaultInputs[2]), ValueList(defaultInputs[3]),
                                           ValueList(defaultInputs[4]), ValueList(defaultInputs[5]),
                                           ValueList(defaultInputs[6])};
  std::array<bool, inputCount> onCommandLine{};
  bool geometric = false;
  // The case file, or nullptr for the command-line sweep alone.
  CaseReader* cases = nullptr;

  // Takes the cases of a file, whose altitudes are geometric when its column says so (unless
  // --altitude replaces that column).
  void readCases(CaseReader& reader) {
    cases = &reader;
    geometric = geometric || (reader.geometric() && !onCommandLine[altitude]);
  }
};

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
};

// Computes every row of the job and writes it. Throws InputError for a case the atmosphere cannot
// take, std::system_error for a failed write, Interrupted when stopSignal is set.
RunSummary runJob(const Job& job, RowWriter& writer, Progress& progress);

}  // namespace table
