#include "job.h"

#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "atmosphere.h"
#include "request.h"
#include "texts.h"

namespace table {

namespace {

// The slot of the sweep a solve's target takes: the unknown's.
std::size_t slotOf(Column unknown) {
  return unknown == mach ? 0 : 1;
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
  return job.cases->where() + ": column " + printable(job.cases->nameOf(input));
}

// How a column given in a request or a file is named, for messages: its option or its column.
std::string givenAs(const Job& job, Column column) {
  const std::size_t slot =
      static_cast<std::size_t>(std::find(job.inputs.begin(), job.inputs.end(), column) - job.inputs.begin());
  if (job.cases != nullptr && slot < inputCount && !job.values[slot] && job.cases->gives(column)) {
    return "column " + printable(job.cases->nameOf(column)) + " of " + job.cases->where();
  }
  return optionName(column);
}

// The names of columns for a message: "--lift-coefficient, --reynolds or --density".
std::string optionList(const std::vector<Column>& columns, const char* last) {
  std::string text;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    text += (i == 0 ? "" : i + 1 < columns.size() ? ", " : last) + optionName(columns[i]);
  }
  return text;
}

// The option that chooses a quantity's unit: "--speed-unit".
std::string unitOption(Column column) {
  constexpr std::array<std::string_view, aero::quantityCount> quantities{"",       "altitude", "speed",
                                                                         "weight", "length",   "area"};
  return "--" + std::string(quantities[static_cast<std::size_t>(aero::columnKinds[column].quantity)]) + "-unit";
}

// The columns --columns names (comma-separated, in the chosen units), or all of them.
std::vector<Column> columnsOf(const std::optional<std::string>& text, const aero::Setup& setup) {
  std::vector<std::string_view> names;
  if (text) names = aero::splitList(*text);
  const aero::ColumnChoice choice =
      aero::chooseColumns(text ? &names : nullptr, {setup.speed, setup.geometric, setup.units, true});
  const aero::Issue& issue = choice.issue;
  const std::string name = quoted(issue.name);
  switch (issue.fault) {
    case aero::Fault::none:
      return choice.columns;
    case aero::Fault::emptyName:
      throw InputError("--columns: a name is missing in " + quoted(*text));
    case aero::Fault::foreignSuffix:
      throw InputError("--columns: " + name + ": " + printable(issue.detail));
    case aero::Fault::unitNotChosen: {
      const std::string unit(unitOf(issue.column, setup.units).name);
      throw InputError("--columns: " + name + " names another unit than the table's, " + unit +
                       "; name the column without suffix, or choose its unit with " + unitOption(issue.column));
    }
    case aero::Fault::repeatedColumn:
      throw InputError("--columns: repeated column " + name);
    default: {
      std::string list;
      for (const std::string& column : aero::columnNames(setup.speed, setup.geometric)) list += ", " + column;
      std::vector<std::string> candidates = aero::namesOf(aero::allColumns(setup.speed));
      if (!setup.geometric) {
        candidates.erase(
            std::remove_if(candidates.begin(), candidates.end(),
                           [](const std::string& c) { return c.rfind(aero::geometricAltitudeName, 0) == 0; }),
            candidates.end());
      }
      std::string nearest;
      for (const std::string& candidate : aero::nearestNames(issue.name, candidates)) {
        nearest += (nearest.empty() ? ", did you mean " : " or ") + quoted(candidate);
      }
      throw InputError("--columns: unknown column " + name + (nearest.empty() ? "" : nearest + "?") +
                       " (the columns are all" + list + ")");
    }
  }
}

// The layout of the job's table; tells the setup which columns are wanted.
Layout layoutOf(Job& job, const Request& request) {
  Layout layout{columnsOf(request.columns, job.setup), {}, request.separator, request.digits, {}};
  job.setup.wanted.fill(false);
  for (const Column column : layout.columns) {
    layout.names.push_back(aero::headerName(column, job.setup.geometric, job.setup.units));
    job.setup.wanted[column] = true;
  }
  // Inputs, targets and solutions are written exactly, so that the table reads back as the same cases.
  for (const Column input : job.inputs) layout.exact[input] = true;
  if (job.setup.unknown != columnCount) layout.exact[job.setup.unknown] = true;
  return layout;
}

// Takes the cases of a file into the job.
void readCases(Job& job, CaseReader& reader) {
  job.cases = &reader;
  aero::Setup& setup = job.setup;
  if (!job.values[0] && setup.unknown != mach && reader.speedColumn() != columnCount) {
    job.inputs[0] = setup.speed = reader.speedColumn();
  }
  setup.geometric = setup.geometric || (reader.geometric() && !job.values[1] && setup.unknown != altitude);
  ColumnSet inputs{};
  for (const Column input : aero::inputsTaken(columnCount)) inputs[input] = true;
  if (setup.unknown != columnCount) {
    const std::size_t slot = slotOf(setup.unknown);
    aero::Pose pose;
    pose.unknown = setup.unknown;
    for (const Column target : aero::targets) {
      inputs[target] = true;
      if (job.values[slot] || !reader.has(target)) continue;
      if (const aero::Issue issue = aero::give(pose, target); issue) {
        throw InputError(reader.where() + ": two targets, columns " + printable(reader.nameOf(issue.other)) + " and " +
                         printable(reader.nameOf(target)) + " (a solve has one)");
      }
      setup.target = job.inputs[slot] = target;
    }
  }
  ColumnSet wanted{};
  for (std::size_t i = 0; i < inputCount; ++i) wanted[job.inputs[i]] = !job.values[i];
  reader.read(inputs, wanted, setup.units);
}

// Refuses a solve that is not posed.
void checkSolve(const Job& job) {
  const aero::Setup& setup = job.setup;
  const aero::Issue issue = aero::checkPose({setup.unknown, setup.speed, setup.target, {}});
  if (!issue) return;
  const std::string solving = "--solve " + std::string(aero::columnKinds[setup.unknown].name) + ": ";
  const std::string targets = optionList(aero::targetsTaken(setup.unknown, setup.speed), " or ");
  if (issue.fault == aero::Fault::noTarget) {
    throw InputError(solving + "no target; give one of " +
                     optionList(aero::targetsTaken(setup.unknown, setup.speed), ", "));
  }
  const std::string reason(aero::solveRefusal(setup.unknown, setup.target, setup.speed));
  if (setup.unknown == mach) {
    throw InputError(solving + givenAs(job, setup.target) + ": " + reason + "; use --solve altitude, or give " +
                     targets);
  }
  throw InputError(solving + givenAs(job, setup.speed) + " with " + givenAs(job, setup.target) + ": " + reason +
                   "; give the speed as " + optionList(aero::speedsTaken(setup.unknown, setup.target), " or ") +
                   ", or the target as " + targets);
}

// The row of the command-line sweep whose inputs all take their lowest (or highest) values.
Row extremeRow(const Job& job, bool highest) {
  Row row{};
  for (std::size_t i = 0; i < inputCount; ++i) {
    const std::optional<ValueList>& list = job.values[i];
    row[job.inputs[i]] = list ? list->extreme(highest) : aero::defaultValue(job.inputs[i], job.setup.units);
  }
  return row;
}

// Refuses a command-line sweep with a row the model cannot take before anything is written. Each
// row made of the lowest or the highest values of each input is one of the sweep's.
void checkSweep(const Job& job) {
  Row row = extremeRow(job, false);
  checkRow(job, row);
  checkRow(job, extremeRow(job, true));
  // Only an offset that freezes the air somewhere needs every altitude looked at.
  if (job.setup.unknown == altitude || !aero::freezesSomewhere(row[isaOffset])) return;
  const ValueList altitudes = job.values[1] ? *job.values[1] : ValueList(row[altitude]);
  for (std::uint64_t i = 0; i < altitudes.size(); ++i) {
    if (stopSignal != 0) throw Interrupted();
    row[altitude] = altitudes.at(i);
    checkRow(job, row);
  }
}

}  // namespace

std::string optionName(Column column) {
  std::string option = "--" + std::string(aero::columnKinds[column].name);
  std::replace(option.begin(), option.end(), '_', '-');
  return option;
}

Job makeJob(const Request& request, CaseReader* cases) {
  Job job;
  job.setup.units = request.units;
  job.setup.geometric = request.geometric;
  job.setup.unknown = request.unknown;
  aero::Pose pose;
  pose.unknown = request.unknown;
  for (std::size_t c = 0; c < columnCount; ++c) {
    if (!request.values[c]) continue;
    const Column column = static_cast<Column>(c);
    ValueList list = ValueList::parse(*request.values[c], optionName(column));
    switch (const aero::Issue issue = aero::give(pose, column); issue.fault) {
      case aero::Fault::none:
        break;
      case aero::Fault::targetWithoutSolve:
        throw InputError(optionName(column) + ": a target needs --solve");
      case aero::Fault::solvedFor:
        throw InputError("--solve " + std::string(aero::columnKinds[request.unknown].name) + ": the " +
                         (request.unknown == mach ? "speed" : "altitude") + " is what is solved for; leave out " +
                         optionName(column));
      default:
        // Two speeds or two targets, which the command line refuses before.
        throw InputError("give one " + std::string(aero::isTarget(column) ? "target" : "speed") + ", not " +
                         optionName(issue.other) + " and " + optionName(column));
    }
    const std::size_t slot =
        aero::isTarget(column) ? slotOf(request.unknown)
        : aero::isSpeed(column)
            ? 0
            : static_cast<std::size_t>(std::find(job.inputs.begin(), job.inputs.end(), column) - job.inputs.begin());
    job.inputs[slot] = column;
    job.values[slot] = std::move(list);
  }
  job.setup.speed = pose.speed;
  job.setup.target = pose.target;
  if (cases != nullptr) readCases(job, *cases);
  checkSolve(job);
  if (const std::uint64_t rows = sweepSize(job); rows > request.maxRows) {
    throw InputError("the options give " +
                     (rows == UINT64_MAX ? std::string("more than 18446744073709551615") : std::to_string(rows)) +
                     " rows, more than " + std::to_string(request.maxRows) + "; --max-rows N allows up to N");
  }
  job.layout = layoutOf(job, request);
  if (cases == nullptr) checkSweep(job);
  return job;
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

void checkRow(const Job& job, const Row& row) {
  const aero::RowRefusal refusal = aero::refusalOf(row, job.setup);
  const Units& units = job.setup.units;
  const double offset = row[isaOffset];
  std::string problem;
  switch (refusal.reason) {
    case aero::Refusal::none:
      return;
    case aero::Refusal::overflow:
      problem = valueText(row[refusal.input], refusal.input, units) + " is too large to convert to " +
                std::string(unitOf(refusal.input, aero::defaultUnits()).name);
      break;
    case aero::Refusal::belowEarthsCentre:
      problem = "the geometric altitude " + valueText(row[altitude], altitude, units) +
                " is at or below minus the Earth's radius (" + numberText(-aero::earthRadius) + " m)";
      break;
    case aero::Refusal::negativeSpeed:
      problem = "a speed is zero or more, found " + numberText(row[refusal.input]);
      break;
    case aero::Refusal::targetNotPositive:
      problem = "a target is a positive number, found " + numberText(row[refusal.input]);
      break;
    case aero::Refusal::airAtOrBelowZero:
      if (job.setup.unknown == altitude) {
        problem = numberText(offset) + " K gives air at or below 0 K within 0 to " +
                  numberText(aero::atmosphereUpperBound) + " m, where --solve altitude searches";
      } else {
        const double given = row[altitude] * unitOf(altitude, units).factor;
        const double height = job.setup.geometric ? aero::geopotentialAltitude(given) : given;
        problem = numberText(offset) + " K at altitude " + valueText(row[altitude], altitude, units) +
                  " gives a temperature of " + numberText(aero::airState(height, offset).temperature) +
                  " K, at or below 0 K";
      }
      break;
    case aero::Refusal::tooColdToSearch:
      problem = numberText(offset) + " K is colder than " + numberText(aero::coldestSearchedOffset) +
                " K, below which the density and the Reynolds number may rise with altitude inside a layer: "
                "--solve altitude takes offsets from " +
                numberText(aero::coldestSearchedOffset) + " K up for this target";
      break;
  }
  throw InputError(origin(job, refusal.input) + ": " + problem);
}

}  // namespace table
