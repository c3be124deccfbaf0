#include "table_run.h"

#include <unistd.h>

#include <cmath>
#include <limits>

#include "atmosphere.h"
#include "reference_values.h"

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
    if (list.size() != 0 && rows > std::numeric_limits<std::uint64_t>::max() / list.size()) {
      return std::numeric_limits<std::uint64_t>::max();
    }
    rows *= list.size();
  }
  return rows;
}

Progress::Progress(int descriptor, std::uint64_t rowsInAll)
    : fd(descriptor), total(rowsInAll), enabled(isatty(descriptor) == 1), start(std::chrono::steady_clock::now()) {}

Progress::~Progress() {
  finish();
}

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

namespace {

// A number as the table writes it by default, for messages.
std::string numberText(double value) {
  std::array<char, 32> text{};
  return std::string(text.data(), formatNumber(text.data(), value, 0));
}

// Refuses a row whose air is at or below absolute zero, naming where its offset came from.
void checkTemperature(const Job& job, const Inputs& inputs, const Row& row) {
  const double temperature = row[inputCount + 5];
  if (!(temperature <= 0.0)) return;
  // With a case file the row's line is named too, wherever the offset came from.
  std::string where = "--isa-offset";
  if (job.cases != nullptr) {
    where = job.cases->sourceName() + ":" + std::to_string(job.cases->line()) +
            (job.cases->givenInputs()[isaOffset] ? ": column isa_offset" : ": with --isa-offset");
  }
  throw InputError(where + ": " + numberText(inputs[isaOffset]) + " K at altitude " + numberText(inputs[altitude]) +
                   " m gives a temperature of " + numberText(temperature) + " K, at or below 0 K");
}

}  // namespace

void checkSweepTemperatures(const Job& job) {
  // The standard temperature never falls below that of the highest layer, so only an offset at
  // least that cold needs the altitudes looked at.
  const ValueList& offsets = job.values[isaOffset];
  std::uint64_t coldest = 0;
  for (std::uint64_t i = 1; i < offsets.size(); ++i) {
    if (offsets.at(i) < offsets.at(coldest)) coldest = i;
  }
  if (offsets.at(coldest) + aero::atmosphereLayers.back().baseTemperature > 0.0) return;
  Inputs inputs = defaultInputs;
  inputs[isaOffset] = offsets.at(coldest);
  const ValueList& altitudes = job.values[altitude];
  for (std::uint64_t i = 0; i < altitudes.size(); ++i) {
    inputs[altitude] = altitudes.at(i);
    checkTemperature(job, inputs, computeRow(inputs, job.geometric));
  }
}

RunSummary runJob(const Job& job, RowWriter& writer, Progress& progress) {
  RunSummary summary;
  Inputs inputs{};
  Inputs fileInputs = defaultInputs;
  std::array<std::uint64_t, inputCount> index{};
  while (true) {
    if (job.cases != nullptr && !job.cases->next(fileInputs)) break;
    for (std::size_t i = 0; i < inputCount; ++i) {
      index[i] = 0;
      inputs[i] = job.onCommandLine[i] || job.cases == nullptr ? job.values[i].at(0) : fileInputs[i];
    }
    while (true) {
      const Row row = computeRow(inputs, job.geometric);
      checkTemperature(job, inputs, row);
      const double height = row[inputCount];
      if (!(height >= 0.0 && height <= aero::atmosphereUpperBound)) ++summary.extrapolated;
      writer.row(row);
      progress.update(++summary.rows);
      if (stopSignal != 0) throw Interrupted();
      // Next combination: the last input varies fastest. A one-value input keeps what it has,
      // which may come from the case file.
      bool done = true;
      for (std::size_t i = inputCount; i-- > 0;) {
        const ValueList& list = job.values[i];
        if (++index[i] < list.size()) {
          inputs[i] = list.at(index[i]);
          done = false;
          break;
        }
        index[i] = 0;
        if (list.size() > 1) inputs[i] = list.at(0);
      }
      if (done) break;
    }
    if (job.cases == nullptr) break;
  }
  writer.flush();
  progress.finish();
  return summary;
}

}  // namespace table
