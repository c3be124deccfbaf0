#include "table_run.h"

#include <unistd.h>

#include <cmath>
#include <limits>
#include <string>

#include "airspeed.h"
#include "altitudes.h"
#include "atmosphere.h"
#include "reference_values.h"

namespace table {

double computeRow(Row& row, const Setup& setup) {
  const auto si = [&](Column c) { return row[c] * unitOf(c, setup.units).factor; };
  const auto put = [&](Column c, double value) { row[c] = value / unitOf(c, setup.units).factor; };
  const double given = row[setup.speed];
  const double height = setup.geometric ? aero::geopotentialAltitude(si(altitude)) : si(altitude);
  const aero::AirState air = aero::airState(height, row[isaOffset]);
  aero::ReferenceValueSet v;
  v.loadFactor = row[loadFactor];
  v.weight = si(weight);
  v.refLength = si(refLength);
  v.refArea = si(refArea);
  if (setup.speed == cas) row[impactPressure] = aero::impactPressureOfCalibratedAirspeed(si(cas));
  if (setup.speed == mach || setup.speed == cas) {
    v.mach = setup.speed == mach ? given : aero::machFromImpactPressure(row[impactPressure], air.pressure);
    v.computeReferenceValues(air);
  } else {
    v.velocity = setup.speed == tas ? si(tas) : aero::trueAirspeedOfEquivalent(si(eas), air.density);
    v.computeReferenceValuesAtVelocity(air);
  }
  put(geopotentialAltitude, height);
  if (!setup.geometric) row[geopotentialAltitude] = row[altitude];
  row[mach] = v.mach;
  put(velocity, v.velocity);
  row[tas] = row[velocity];
  if (setup.shown[eas]) put(eas, aero::equivalentAirspeed(v.velocity, v.density));
  if (setup.speed != cas && (setup.shown[cas] || setup.shown[impactPressure])) {
    row[impactPressure] = aero::impactPressure(v.mach, v.pressure);
    put(cas, aero::calibratedAirspeed(row[impactPressure]));
  }
  // The speed given stays exactly as written, and so does the same speed under its other name.
  row[setup.speed] = given;
  if (setup.speed == tas) row[velocity] = given;
  row[liftCoefficient] = v.liftCoefficient;
  row[reynolds] = v.reynolds;
  put(soundSpeed, v.soundSpeed);
  row[temperature] = v.temperature;
  row[viscosity] = v.viscosity;
  row[kinematicViscosity] = v.kinematicViscosity;
  row[density] = v.density;
  row[pressure] = v.pressure;
  row[dynamicPressure] = v.dynamicPressure;
  row[referenceForce] = v.referenceForce;
  if (setup.shown[totalPressure]) row[totalPressure] = aero::totalPressure(v.mach, v.pressure);
  row[totalTemperature] = aero::totalTemperature(v.mach, v.temperature);
  row[pressureRatio] = v.pressure / aero::seaLevelPressure;
  row[temperatureRatio] = v.temperature / aero::seaLevelTemperature;
  row[densityRatio] = v.density / aero::seaLevelDensity;
  if (setup.shown[densityAltitude]) put(densityAltitude, aero::densityAltitude(v.density));
  row[unitReynolds] = v.velocity / v.kinematicViscosity;
  return height;
}

double defaultValue(Column input, const Units& chosen) {
  switch (input) {
    case mach:
      return aero::defaultMach;
    case altitude:
      return aero::defaultAltitude / unitOf(altitude, chosen).factor;
    case loadFactor:
      return aero::defaultLoadFactor;
    case weight:
      return aero::defaultWeight / unitOf(weight, chosen).factor;
    case refLength:
      return aero::defaultRefLength / unitOf(refLength, chosen).factor;
    case refArea:
      return aero::defaultRefArea / unitOf(refArea, chosen).factor;
    default:
      return 0.0;
  }
}

void Job::readCases(CaseReader& reader) {
  cases = &reader;
  if (!values[0] && reader.speedColumn() != columnCount) inputs[0] = setup.speed = reader.speedColumn();
  setup.geometric = setup.geometric || (reader.geometric() && !values[1]);
  std::array<bool, columnCount> given{};
  std::array<bool, columnCount> wanted{};
  for (std::size_t c = mach; c <= isaOffset; ++c) given[c] = true;
  for (std::size_t i = 0; i < inputCount; ++i) wanted[inputs[i]] = !values[i];
  reader.read(given, wanted, setup.units);
}

std::vector<Column> defaultColumns(Column speed) {
  std::vector<Column> columns{speed, altitude, loadFactor, weight, refLength, refArea, isaOffset, geopotentialAltitude};
  if (speed != mach) columns.push_back(mach);
  for (std::size_t c = liftCoefficient; c <= referenceForce; ++c) columns.push_back(static_cast<Column>(c));
  return columns;
}

std::vector<Column> parseColumns(std::string_view text, Column speed) {
  if (text == "all") {
    std::vector<Column> columns = defaultColumns(speed);
    for (std::size_t c = 0; c < columnCount; ++c) {
      if (std::find(columns.begin(), columns.end(), c) == columns.end()) columns.push_back(static_cast<Column>(c));
    }
    return columns;
  }
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
  job.setup.shown.fill(false);
  for (const Column column : columns) {
    layout.names.push_back(headerName(column, job.setup.geometric, job.setup.units));
    job.setup.shown[column] = true;
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

// Refuses a geometric altitude at or below minus the Earth's radius (no geopotential altitude
// belongs to it).
void checkGeometricAltitude(const Job& job, double value) {
  if (job.setup.geometric && value * unitOf(altitude, job.setup.units).factor <= -aero::earthRadius) {
    throw InputError(origin(job, altitude) + ": the geometric altitude " + valueText(value, altitude, job.setup.units) +
                     " is at or below minus the Earth's radius (-6356766 m)");
  }
}

// Refuses a case whose air is at or below 0 K.
void checkTemperature(const Job& job, const Row& row) {
  if (row[temperature] > 0.0) return;
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
  const ValueList altitudes = values(altitude);
  checkGeometricAltitude(job, altitudes.lowest());
  // The standard temperature never falls below that of the highest layer, so only an offset at
  // least that cold needs every altitude looked at.
  Row row{};
  row[isaOffset] = values(isaOffset).lowest();
  if (row[isaOffset] + aero::atmosphereLayers.back().baseTemperature > 0.0) return;
  Setup setup = job.setup;
  setup.speed = mach;
  setup.shown.fill(false);
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
      checkGeometricAltitude(job, row[altitude]);
      const double height = computeRow(row, job.setup);
      checkTemperature(job, row);
      if (height < 0.0 || height > aero::atmosphereUpperBound) ++summary.extrapolated;
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
