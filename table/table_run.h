#pragma once

#include <array>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <exception>
#include <string>

#include "case_reader.h"
#include "columns.h"
#include "row_writer.h"
#include "values.h"

namespace table {

// Rows a command-line sweep may have unless --max-rows allows more.
inline constexpr std::uint64_t defaultMaxRows = 100000000;

// The table row of one case: the inputs, the geopotential altitude, then the window's outputs,
// computed as the window computes them. geometric: the altitude is geometric and converted first.
Row computeRow(const Inputs& inputs, bool geometric);

// What to compute: the values of each input (one default value when not given) and where they
// came from.
struct Job {
  std::array<ValueList, inputCount> values{ValueList(defaultInputs[mach]),       ValueList(defaultInputs[altitude]),
                                           ValueList(defaultInputs[loadFactor]), ValueList(defaultInputs[weight]),
                                           ValueList(defaultInputs[refLength]),  ValueList(defaultInputs[refArea]),
                                           ValueList(defaultInputs[isaOffset])};
  std::array<bool, inputCount> onCommandLine{};
  bool geometric = false;
  // The case file, or nullptr for the command-line sweep alone.
  CaseReader* cases = nullptr;
};

// Number of rows of the command-line sweep (per case row with a case file); UINT64_MAX when the
// product does not fit.
std::uint64_t sweepSize(const Job& job);

// A one-line count of rows done on a terminal's standard error, shown once a run has taken a
// second, at most ten times a second, and erased at the end. Does nothing when the descriptor is
// not a terminal.
class Progress {
 public:
  Progress(int descriptor, std::uint64_t total);
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;
  ~Progress();

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

// Refuses a command-line sweep (no case file) that would reach a temperature at or below 0 K, so
// that it fails before anything is written. Throws InputError.
void checkSweepTemperatures(const Job& job);

// The signal that asked a run to stop, set by the program's handler; 0 while none did.
inline volatile std::sig_atomic_t stopSignal = 0;

// Thrown by runJob at the next row once stopSignal is set, so that everything unwinds: an
// unfinished output file is then discarded.
class Interrupted : public std::exception {};

struct RunSummary {
  std::uint64_t rows = 0;
  // Rows whose geopotential altitude lies outside 0 to 88000 m: the end layers continue.
  std::uint64_t extrapolated = 0;
};

// Computes every row of the job and writes it. Throws InputError for a bad case or a temperature
// at or below 0 K, std::system_error for a failed write, Interrupted when stopSignal is set.
RunSummary runJob(const Job& job, RowWriter& writer, Progress& progress);

}  // namespace table
