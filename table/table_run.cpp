#include "table_run.h"

#include <unistd.h>

#include <limits>
#include <string>

#include "atmosphere.h"

namespace table {

Row computeRow(const Inputs& inputs, bool geometric) {
  aero::ReferenceValueSet v;
  v.mach = inputs[mach];
  v.altitude = geometric ? aero::geopotentialAltitude(inputs[altitude]) : inputs[altitude];
  v.loadFactor = inputs[loadFactor];
  v.weight = inputs[weight];
  v.refLength = inputs[refLength];
  v.refArea = inputs[refArea];
  v.computeReferenceValues(aero::airState(v.altitude, inputs[isaOffset]));
  return {inputs[mach],    inputs[altitude],  inputs[loadFactor], inputs[weight],    inputs[refLength],
          inputs[refArea], inputs[isaOffset], v.altitude,         v.liftCoefficient, v.reynolds,
          v.velocity,      v.soundSpeed,      v.temperature,      v.viscosity,       v.kinematicViscosity,
          v.density,       v.pressure,        v.dynamicPressure,  v.referenceForce};
}

std::uint64_t sweepSize(const Job& job) {
  std::uint64_t rows = 1;
  for (const ValueList& list : job.values) {
    if (rows > std::numeric_limits<std::uint64_t>::max() / list.size())
      return std::numeric_limits<std::uint64_t>::max();
    rows *= list.size();
  }
  return rows;
}

namespace {

// A number as the table writes it by default, for messages.
std::string numberText(double value) {
  std::array<char, 32> text{};
  return std::string(text.data(), formatNumber(text.data(), value, 0));
}

// Where an input of the current case came from, for messages.
std::string origin(const Job& job, Column input) {
  if (job.cases == nullptr) return optionName(input);
  if (!job.cases->givenInputs()[input]) return job.cases->where() + ": with " + optionName(input);
  return job.cases->where() + ": column " + std::string(columnName(input, job.geometric));
}

// Refuses a case the atmosphere cannot take: a geometric altitude at or below minus the Earth's
// radius (no geopotential altitude belongs to it), or air at or below 0 K.
void checkCase(const Job& job, const Inputs& inputs, const Row& row) {
  if (job.geometric && inputs[altitude] <= -aero::earthRadius) {
    throw InputError(origin(job, altitude) + ": the geometric altitude " + numberText(inputs[altitude]) +
                     " m is at or below minus the Earth's radius (" + numberText(-aero::earthRadius) + " m)");
  }
  if (row[temperature] <= 0.0) {
    throw InputError(origin(job, isaOffset) + ": " + numberText(inputs[isaOffset]) + " K at altitude " +
                     numberText(inputs[altitude]) + " m gives a temperature of " + numberText(row[temperature]) +
                     " K, at or below 0 K");
  }
}

}  // namespace

void checkSweep(const Job& job) {
  Inputs inputs = defaultInputs;
  inputs[altitude] = job.values[altitude].lowest();
  checkCase(job, inputs, computeRow(inputs, job.geometric));
  // The standard temperature never falls below that of the highest layer, so only an offset at
  // least that cold needs every altitude looked at.
  inputs[isaOffset] = job.values[isaOffset].lowest();
  if (inputs[isaOffset] + aero::atmosphereLayers.back().baseTemperature > 0.0) return;
  const ValueList& altitudes = job.values[altitude];
  for (std::uint64_t i = 0; i < altitudes.size(); ++i) {
    inputs[altitude] = altitudes.at(i);
    checkCase(job, inputs, computeRow(inputs, job.geometric));
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
  Inputs inputs{};
  Inputs fileInputs = defaultInputs;
  std::array<std::uint64_t, inputCount> index{};
  while (job.cases == nullptr || job.cases->next(fileInputs)) {
    for (std::size_t i = 0; i < inputCount; ++i) {
      index[i] = 0;
      inputs[i] = job.onCommandLine[i] || job.cases == nullptr ? job.values[i].at(0) : fileInputs[i];
    }
    while (true) {
      const Row row = computeRow(inputs, job.geometric);
      checkCase(job, inputs, row);
      if (!(row[geopotentialAltitude] >= 0.0 && row[geopotentialAltitude] <= aero::atmosphereUpperBound)) {
        ++summary.extrapolated;
      }
      writer.row(row);
      progress.update(++summary.rows);
      if (stopSignal != 0) throw Interrupted();
      // Next combination: the last input varies fastest. A one-value input keeps what it has,
      // which may come from the case file.
      std::size_t i = inputCount;
      while (i-- > 0 && ++index[i] == job.values[i].size()) {
        index[i] = 0;
        if (job.values[i].size() > 1) inputs[i] = job.values[i].at(0);
      }
      if (i == std::numeric_limits<std::size_t>::max()) break;
      inputs[i] = job.values[i].at(index[i]);
    }
    if (job.cases == nullptr) break;
  }
  writer.flush();
  progress.finish();
  return summary;
}

}  // namespace table
