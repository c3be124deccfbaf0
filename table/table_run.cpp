#include "table_run.h"

#include <unistd.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "airspeed.h"
#include "altitudes.h"
#include "atmosphere.h"
#include "reference_values.h"

namespace table {

namespace {

// A column's value in the first unit of its quantity.
double si(const Row& row, Column column, const Setup& setup) {
  return row[column] * unitOf(column, setup.units).factor;
}

}  // namespace

namespace {

// The targets a solve for the unknown may have.
std::vector<Column> targetsOf(Column unknown) {
  if (unknown == mach) return {liftCoefficient, reynolds, dynamicPressure};
  return {liftCoefficient, reynolds, dynamicPressure, pressure, density};
}

}  // namespace

void Job::solveFor(Column unknown, Column target, std::optional<ValueList> targets) {
  setup.unknown = unknown;
  setup.target = target;
  inputs[unknown == mach ? 0 : 1] = target;
  values[unknown == mach ? 0 : 1] = std::move(targets);
  if (unknown == mach) setup.speed = mach;
}

void Job::readCases(CaseReader& reader) {
  cases = &reader;
  if (!values[0] && setup.unknown != mach && reader.speedColumn() != columnCount) {
    inputs[0] = setup.speed = reader.speedColumn();
  }
  setup.geometric = setup.geometric || (reader.geometric() && !values[1] && setup.unknown != altitude);
  std::array<bool, columnCount> given{};
  std::array<bool, columnCount> wanted{};
  for (std::size_t c = mach; c <= isaOffset; ++c) given[c] = true;
  if (setup.unknown != columnCount) {
    // Without a target option the file's target column gives the target; a file may have one.
    const bool targetOption = values[setup.unknown == mach ? 0 : 1].has_value();
    for (const Column target : targetsOf(setup.unknown)) {
      given[target] = true;
      if (targetOption || !reader.has(target)) continue;
      if (setup.target != columnCount) {
        throw InputError(reader.where() + ": two targets, columns " + reader.nameOf(setup.target) + " and " +
                         reader.nameOf(target) + " (a solve has one)");
      }
      solveFor(setup.unknown, target, std::nullopt);
    }
  }
  for (std::size_t i = 0; i < inputCount; ++i) wanted[inputs[i]] = !values[i];
  reader.read(given, wanted, setup.units);
}

void Job::checkSolve() const {
  if (setup.unknown == columnCount) return;
  std::string targets;
  for (const Column target : targetsOf(setup.unknown)) targets += (targets.empty() ? "" : ", ") + optionName(target);
  const std::string solving = "--solve " + std::string(columnKinds[setup.unknown].name) + ": ";
  if (setup.target == columnCount) throw InputError(solving + "no target; give one of " + targets);
  if (setup.unknown == altitude && setup.speed != mach && setup.speed != tas) {
    throw InputError(solving + "give the speed as --mach or --tas, not as " +
                     std::string(columnKinds[setup.speed].name) +
                     ": with EAS the dynamic pressure and lift coefficient do not depend on the altitude at all, and "
                     "with CAS they hardly do");
  }
}

std::vector<Column> parseColumns(std::string_view text, Column speed) {
  if (text == "all") return allColumns(speed);
  std::vector<Column> columns;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    const std::string_view name = text.substr(start, comma - start);
    start = comma + 1;
    const auto known = std::find_if(columnKinds.begin(), columnKinds.end(),
                                    [name](const ColumnKind& kind) { return kind.name == name; });
    if (known == columnKinds.end()) {
      std::string names;
      for (const ColumnKind& kind : columnKinds) names += ", " + std::string(kind.name);
      throw InputError("--columns: unknown column " + quoted(name) + " (the columns are all" + names + ")");
    }
    columns.push_back(static_cast<Column>(known - columnKinds.begin()));
  }
  return columns;
}

Layout layoutOf(Job& job, const std::vector<Column>& columns, char separator, int digits) {
  Layout layout{columns, {}, separator, digits, {}};
  job.setup.wanted.fill(false);
  for (const Column column : columns) {
    layout.names.push_back(headerName(column, job.setup.geometric, job.setup.units));
    job.setup.wanted[column] = true;
  }
  for (const Column input : {job.setup.speed, altitude, loadFactor, weight, refLength, refArea, isaOffset}) {
    layout.exact[input] = true;
  }
  return layout;
}

std::uint64_t sweepSize(const Job& job) {
  std::uint64_t rows = 1;
  for (const std::optional<ValueList>& list : job.values) {
    if (!list) continue;
    if (rows > std::numeric_limits<std::uint64_t>::max() / list->size())
      return std::numeric_limits<std::uint64_t>::max();
    rows *= list->size();
  }
  return rows;
}

namespace {

// A number as the table writes it by default, for messages.
std::string numberText(double value) {
  std::array<char, 32> text{};
  return std::string(text.data(), formatNumber(text.data(), value, 0));
}

// A value with its unit, for messages: "12000 ft".
std::string valueText(double value, Column column, const Units& units) {
  const std::string_view unit = unitOf(column, units).name;
  return numberText(value) + (unit.empty() ? "" : " " + std::string(unit));
}

// Where an input of the current case came from, for messages.
std::string origin(const Job& job, Column input) {
  if (job.cases == nullptr) return optionName(input);
  if (!job.cases->gives(input)) return job.cases->where() + ": with " + optionName(input);
  return job.cases->where() + ": column " + job.cases->nameOf(input);
}

// Refuses inputs that cannot be computed: a geometric altitude at or below minus the Earth's
// radius (no geopotential altitude belongs to it), a target that is not positive, or, when
// solving for the altitude, an offset that makes the air at or below 0 K where the search goes.
void checkInputs(const Job& job, const Row& row) {
  const Setup& setup = job.setup;
  if (!setup.geometric && setup.unknown == columnCount) return;
  if (setup.geometric && setup.unknown != altitude && si(row, altitude, setup) <= -aero::earthRadius) {
    throw InputError(origin(job, altitude) + ": the geometric altitude " +
                     valueText(row[altitude], altitude, setup.units) +
                     " is at or below minus the Earth's radius (-6356766 m)");
  }
  if (setup.target != columnCount && !(row[setup.target] > 0.0)) {
    throw InputError(origin(job, setup.target) + ": a target is a positive number, found " +
                     numberText(row[setup.target]));
  }
  if (setup.unknown == altitude && row[isaOffset] + aero::atmosphereLayers.back().baseTemperature <= 0.0) {
    throw InputError(origin(job, isaOffset) + ": " + numberText(row[isaOffset]) +
                     " K gives air at or below 0 K within 0 to 88000 m, where --solve altitude searches");
  }
}

// Refuses a case whose air is at or below 0 K.
void checkTemperature(const Job& job, const Row& row) {
  if (!(row[temperature] <= 0.0)) return;
  throw InputError(origin(job, isaOffset) + ": " + numberText(row[isaOffset]) + " K at altitude " +
                   valueText(row[altitude], altitude, job.setup.units) + " gives a temperature of " +
                   numberText(row[temperature]) + " K, at or below 0 K");
}

}  // namespace

void checkSweep(const Job& job) {
  const auto values = [&job](Column input) {
    const std::size_t slot =
        static_cast<std::size_t>(std::find(job.inputs.begin(), job.inputs.end(), input) - job.inputs.begin());
    return job.values[slot] ? *job.values[slot] : ValueList(defaultValue(input, job.setup.units));
  };
  Row row{};
  for (const Column input : job.inputs) row[input] = values(input).lowest();
  checkInputs(job, row);
  // The standard temperature never falls below that of the highest layer, so only an offset at
  // least that cold needs every altitude looked at.
  if (job.setup.unknown == altitude || row[isaOffset] + aero::atmosphereLayers.back().baseTemperature > 0.0) return;
  const ValueList altitudes = values(altitude);
  Setup setup = job.setup;
  setup.speed = mach;
  setup.unknown = setup.target = columnCount;
  setup.wanted.fill(false);
  row[mach] = 0.0;
  for (std::uint64_t i = 0; i < altitudes.size(); ++i) {
    row[altitude] = altitudes.at(i);
    computeRow(row, setup);
    checkTemperature(job, row);
  }
}

Progress::Progress(int descriptor, std::uint64_t rowsInAll)
    : fd(descriptor), total(rowsInAll), enabled(isatty(descriptor) == 1), start(std::chrono::steady_clock::now()) {}

void Progress::show(std::uint64_t rows) {
  const auto now = std::chrono::steady_clock::now();
  if (now - start < std::chrono::seconds(1) || (shown && now - last < std::chrono::milliseconds(100))) return;
  last = now;
  shown = true;
  std::string line = "\rquorvan-table: " + std::to_string(rows);
  if (total != 0) {
    line += " of " + std::to_string(total) + " rows (" +
            std::to_string(static_cast<int>(100.0 * static_cast<double>(rows) / static_cast<double>(total))) + "%)";
  } else {
    line += " rows";
  }
  line += "\033[K";
  // A failed progress line is no reason to stop the table.
  [[maybe_unused]] const ssize_t ignored = ::write(fd, line.data(), line.size());
}

void Progress::finish() {
  if (!shown) return;
  shown = false;
  constexpr char erase[] = "\r\033[K";
  [[maybe_unused]] const ssize_t ignored = ::write(fd, erase, sizeof erase - 1);
}

RunSummary runJob(const Job& job, RowWriter& writer, Progress& progress) {
  RunSummary summary;
  Row row{};
  Row fromFile{};
  std::array<std::uint64_t, inputCount> index{};
  std::array<double, inputCount> value{};
  while (job.cases == nullptr || job.cases->next(fromFile)) {
    for (std::size_t i = 0; i < inputCount; ++i) {
      const Column input = job.inputs[i];
      index[i] = 0;
      value[i] = job.values[i]                                     ? job.values[i]->at(0)
                 : job.cases != nullptr && job.cases->gives(input) ? fromFile[input]
                                                                   : defaultValue(input, job.setup.units);
    }
    while (true) {
      for (std::size_t i = 0; i < inputCount; ++i) row[job.inputs[i]] = value[i];
      checkInputs(job, row);
      const double height = computeRow(row, job.setup);
      checkTemperature(job, row);
      if (height < 0.0 || height > aero::atmosphereUpperBound) ++summary.extrapolated;
      if (job.setup.unknown != columnCount && std::isnan(row[job.setup.unknown])) ++summary.unsolved;
      writer.row(row);
      progress.update(++summary.rows);
      if (stopSignal != 0) throw Interrupted();
      // Next combination: the last input varies fastest; one not swept keeps its value.
      std::size_t i = inputCount;
      while (i-- > 0) {
        const std::optional<ValueList>& list = job.values[i];
        if (!list) continue;
        if (++index[i] < list->size()) {
          value[i] = list->at(index[i]);
          break;
        }
        index[i] = 0;
        value[i] = list->at(0);
      }
      if (i == std::numeric_limits<std::size_t>::max()) break;
    }
    if (job.cases == nullptr) break;
  }
  writer.flush();
  progress.finish();
  return summary;
}

}  // namespace table
