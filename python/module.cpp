// The compiled module _quorvan: its functions read a call (keywords.h), convert and broadcast its
// arguments (call.h), compute each element through aero::computeRow or airState over the broadcast
// (elements.h), and return float64 arrays or, for scalars, floats.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "atmosphere.h"
#include "columns.h"
#include "condition.h"
#include "elements.h"
#include "keywords.h"
#include "request.h"
#include "version.h"

namespace {

using namespace aero;
using namespace aero::col;
using namespace binding;

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

// Computes the chosen columns of every element of a call: a dict of the columns under their
// names (the table tool's headers, in the units the columns' suffixes choose, SI without). An
// element whose inputs the model cannot take has NaN in every column but its inputs and target.
py::dict computeColumns(Call& call, const std::vector<Unit>& units, const py::handle& columnsWanted) {
  const ColumnChoice choice = chosenColumns(call, columnsWanted);
  const std::vector<Column>& columns = choice.columns;
  Setup& setup = call.setup;
  setup.units = choice.units;
  // The inputs are converted to the columns' units as the table tool's case reader converts a
  // column; those not given take the window's defaults in them.
  ColumnSet given{};
  for (std::size_t k = 0; k < call.arguments.size(); ++k) {
    Argument& a = call.arguments[k];
    a.factor = conversionFactor(units[k], unitOf(a.column, setup.units));
    given[a.column] = true;
  }
  std::vector<Column> inputs(otherInputs.begin(), otherInputs.end());
  if (setup.unknown != mach) inputs.push_back(setup.speed);
  for (const Column input : inputs) {
    if (input == setup.unknown || given[input]) continue;
    call.add(std::string(columnKinds[input].name), py::float_(defaultValue(input, setup.units)), input, 1.0);
  }
  setup.wanted.fill(false);
  for (const Column c : columns) setup.wanted[c] = true;
  call.broadcast();
  // No column, no element work (the broadcast shape may be huge).
  if (columns.empty()) return py::dict();
  Results results(call, columns.size());

  // Inputs that are the same for every element are set in every row once; the others element by
  // element. A conversion that overflows refuses the element.
  Row initial;
  initial.fill(notANumber);
  bool overflow = false;
  std::array<Column, maxArguments> varyingColumns{};
  std::array<double, maxArguments> factors{};
  std::array<std::size_t, maxArguments> varying{};
  std::size_t varyingCount = 0;
  ColumnSet kept{};
  for (std::size_t k = 0; k < call.arguments.size(); ++k) {
    const Argument& a = call.arguments[k];
    kept[a.column] = true;
    if (std::any_of(a.strides.begin(), a.strides.end(), [](py::ssize_t stride) { return stride != 0; })) {
      varyingColumns[varyingCount] = a.column;
      factors[varyingCount] = a.factor;
      varying[varyingCount++] = k;
      continue;
    }
    std::memcpy(&initial[a.column], a.data, sizeof(double));
    overflow = !convert(initial[a.column], a.factor) || overflow;
  }
  // A block's rows are computed first and then written out column by column, each in one piece.
  // A masked element is refused, and so not computed.
  forEachElement(call, [&setup, &columns, &results, overflow, varyingColumns, factors, varying, varyingCount, kept,
                        rows = std::vector<Row>(blockSize, initial), refused = std::array<bool, blockSize>{}](
                           py::ssize_t first, std::size_t run, const Block& block) mutable {
    bool anyRefused = false;
    for (std::size_t b = 0; b < run; ++b) {
      Row& row = rows[b];
      refused[b] = overflow || (results.masked != nullptr && results.masked[first + b]);
      for (std::size_t v = 0; v < varyingCount; ++v) {
        double& value = row[varyingColumns[v]];
        value = block[varying[v]][b];
        refused[b] = !convert(value, factors[v]) || refused[b];
      }
      refused[b] = refused[b] || refusalOf(row, setup).reason != Refusal::none;
      if (!refused[b]) computeRow(row, setup);
      anyRefused = anyRefused || refused[b];
    }
    for (std::size_t j = 0; j < columns.size(); ++j) {
      const Column c = columns[j];
      double* out = results.out[j] + first;
      for (std::size_t b = 0; b < run; ++b) out[b] = rows[b][c];
      if (!anyRefused || kept[c]) continue;
      for (std::size_t b = 0; b < run; ++b) {
        if (refused[b]) out[b] = notANumber;
      }
    }
  });
  py::dict named;
  for (std::size_t j = 0; j < columns.size(); ++j) {
    named[py::str(headerName(columns[j], setup.geometric, setup.units))] = results[j];
  }
  return named;
}

py::dict referenceValues(const py::dict& keywords, const py::handle& geometric, const py::handle& columns) {
  std::vector<Unit> units;
  Call call =
      readInputs("reference_values", keywords, columnCount, flagOf("reference_values", "geometric", geometric), units);
  return computeColumns(call, units, columns);
}

py::dict solve(const py::handle& unknownName, const py::dict& keywords, const py::handle& geometric,
               const py::handle& columns) {
  const bool isGeometric = flagOf("solve", "geometric", geometric);
  const std::string name = py::str(unknownName);
  if (!py::isinstance<py::str>(unknownName) || (name != "mach" && name != "altitude")) {
    throw py::value_error("solve(): the unknown is 'mach' or 'altitude', not " + std::string(py::repr(unknownName)));
  }
  std::vector<Unit> units;
  Call call = readInputs("solve", keywords, name == "mach" ? mach : altitude, isGeometric, units);
  return computeColumns(call, units, columns);
}

// The air at each altitude (m, geopotential unless geometric) on a day offset kelvin warmer:
// pressure, temperature, density, viscosity and speed of sound, NaN where the model cannot take
// the altitude and offset.
py::tuple atmosphere(const py::handle& altitudes, const py::handle& offsets, const py::handle& geometricFlag) {
  Call call;
  call.function = "atmosphere";
  const bool geometric = flagOf(call.function, "geometric", geometricFlag);
  call.setup.geometric = geometric;
  call.add("altitude", altitudes, altitude, 1.0);
  call.add("isa_offset", offsets, isaOffset, 1.0);
  call.broadcast();
  Results results(call, 5);
  // The inputs refusalOf looks at besides the altitude and the offset: a Mach number of 0 and the
  // window's defaults, none of which it refuses.
  Row inputs;
  inputs.fill(0.0);
  for (const Column c : otherInputs) inputs[c] = defaultValue(c, call.setup.units);
  const Setup& setup = call.setup;
  forEachElement(call, [&setup, &results, geometric, row = inputs](py::ssize_t first, std::size_t run,
                                                                   const Block& block) mutable {
    for (std::size_t b = 0; b < run; ++b) {
      const double z = block[0][b];
      const double offset = block[1][b];
      row[altitude] = z;
      row[isaOffset] = offset;
      const std::size_t i = static_cast<std::size_t>(first) + b;
      AirState air{notANumber, notANumber, notANumber, notANumber, notANumber};
      // A standard or warmer day at a geopotential altitude is never refused; a masked element is
      // not computed.
      if ((results.masked == nullptr || !results.masked[i]) &&
          ((!geometric && !(offset < 0.0)) || refusalOf(row, setup).reason == Refusal::none)) {
        air = airState(geometric ? aero::geopotentialAltitude(z) : z, offset);
      }
      results.out[0][i] = air.pressure;
      results.out[1][i] = air.temperature;
      results.out[2][i] = air.density;
      results.out[3][i] = air.viscosity;
      results.out[4][i] = air.soundSpeed;
    }
  });
  return py::make_tuple(results[0], results[1], results[2], results[3], results[4]);
}

// The names a call's keywords and a frame's columns are read by: the speeds, the inputs (with
// geometric_altitude after altitude) and the targets, and the unit suffixes each takes ("" first).
py::dict keywordNames() {
  py::list speeds, inputs, targets;
  py::dict suffixes;
  const auto add = [&suffixes](py::list& list, std::string_view name, Column column) {
    list.append(py::str(std::string(name)));
    py::list own;
    for (const Unit& unit : aero::units) {
      if (unit.quantity == columnKinds[column].quantity) own.append(py::str(std::string(unit.suffix)));
    }
    suffixes[py::str(std::string(name))] = own;
  };
  for (const Column column : inputsTaken(columnCount)) {
    if (isSpeed(column)) add(speeds, columnKinds[column].name, column);
    add(inputs, columnKinds[column].name, column);
    if (column == altitude) add(inputs, geometricAltitudeName, column);
  }
  for (const Column column : aero::targets) add(targets, columnKinds[column].name, column);
  py::dict names;
  names["speeds"] = speeds;
  names["inputs"] = inputs;
  names["targets"] = targets;
  names["suffixes"] = suffixes;
  return names;
}

}  // namespace

PYBIND11_MODULE(_quorvan, m) {
  m.doc() = "The compiled part of quorvan; use the functions of the quorvan package.";
  m.attr("__version__") = aero::version;
  m.def("atmosphere", &atmosphere);
  m.def("reference_values", &referenceValues);
  m.def("solve", &solve);
  m.def("set_threads", [](unsigned count) { threadCount = count == 0 ? machineThreads() : count; });
  m.def("get_threads", [] { return threadCount.load(); });
  m.def("keyword_names", &keywordNames);
}
