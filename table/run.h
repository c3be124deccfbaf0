#pragma once

#include <chrono>
#include <cstdint>

#include "job.h"
#include "row_writer.h"

namespace table {

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
  // Rows of a solve whose target no value of the unknown meets.
  std::uint64_t unsolved = 0;
  // Rows with nan among their inputs, as a table shows an unsolved row.
  std::uint64_t nanInputs = 0;
};

// Computes every row of the job and writes it. Throws InputError for a row the model cannot take,
// std::system_error for a failed write, Interrupted when stopSignal is set.
RunSummary runJob(const Job& job, RowWriter& writer, Progress& progress);

}  // namespace table
