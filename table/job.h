#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "case_reader.h"
#include "condition.h"
#include "row_writer.h"
#include "values.h"

namespace table {

using namespace aero::col;

// The swept inputs: the speed, then the altitude and the rest, in the order of the sweep (the
// first slowest).
inline constexpr std::size_t inputCount = 1 + aero::otherInputs.size();

// The command-line option of a column: "--load-factor".
std::string optionName(Column column);

// What the command line asks for, as typed.
struct Request {
  // The text of each option that gives values: a speed, another input or a target.
  std::array<std::optional<std::string>, columnCount> values;
  // What --solve solves for (mach or altitude); columnCount without it.
  Column unknown = columnCount;
  bool geometric = false;
  Units units = aero::defaultUnits();
  std::optional<std::string> columns;
  char separator = ',';
  int digits = 0;
  std::uint64_t maxRows = 100000000;
};

// What to compute, checked.
struct Job {
  aero::Setup setup;
  // The swept inputs in the sweep's order; a solve's target takes its unknown's place.
  std::array<Column, inputCount> inputs{mach, altitude, loadFactor, weight, refLength, refArea, isaOffset};
  // The values the command line gives each input; without them an input takes the case file's
  // value or its default.
  std::array<std::optional<ValueList>, inputCount> values;
  // The case file, or nullptr for the command-line sweep alone.
  CaseReader* cases = nullptr;
  // How the table shows the job's columns.
  Layout layout;
};

// The job a request asks for, with the cases of a file (nullptr for none): a speed column of the
// file gives the speed when no option does, its geometric_altitude makes the altitudes geometric,
// its target column gives the target of a solve when no option does, and options replace its
// columns. Everything that can be checked before the first row is checked here. Throws InputError.
Job makeJob(const Request& request, CaseReader* cases);

// Number of rows of the command-line sweep (per case row with a case file); UINT64_MAX when the
// product does not fit.
std::uint64_t sweepSize(const Job& job);

// Refuses a row the model cannot take, naming where the input at fault came from. Throws
// InputError.
void checkRow(const Job& job, const Row& row);

}  // namespace table
