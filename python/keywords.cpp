#include "keywords.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace binding {

using namespace aero;
using namespace aero::col;

bool flagOf(const std::string& function, const char* name, py::handle value) {
  if (!isBool(value.ptr())) {
    throw py::type_error(function + "(): " + name + " is True or False, not " + std::string(py::repr(value)));
  }
  return PyObject_IsTrue(value.ptr()) == 1;
}

namespace {

// The keyword names of columns for a message: "reynolds, pressure or density".
std::string nameList(const std::vector<Column>& columns, const char* last) {
  std::string text;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    text += (i == 0 ? "" : i + 1 < columns.size() ? ", " : last) + std::string(columnKinds[columns[i]].name);
  }
  return text;
}

// The inputs a call takes, for messages.
std::string inputNames(Column unknown) {
  std::string names = nameList(inputsTaken(unknown), ", ");
  if (unknown != altitude) {
    const std::string_view name = columnKinds[altitude].name;
    names.insert(names.find(name) + name.size(), " (or geometric_altitude)");
  }
  return names;
}

// The targets a solve for unknown takes with a speed (any speed for columnCount), for messages.
std::string targetNames(Column unknown, Column speed) {
  return nameList(targetsTaken(unknown, speed), ", ");
}

// "; did you mean 'cas_kt'?" for a name near some of the candidates, else nothing.
std::string didYouMean(std::string_view name, const std::vector<std::string>& candidates) {
  std::string text;
  for (const std::string& candidate : nearestNames(name, candidates)) {
    text += (text.empty() ? "; did you mean '" : " or '") + candidate + "'";
  }
  return text.empty() ? text : text + "?";
}

}  // namespace

// Refuses a call whose keywords do not pose it, naming them as given.
Call readInputs(std::string function, const py::dict& keywords, Column unknown, bool geometric,
                std::vector<Unit>& units) {
  Call call;
  call.function = std::move(function);
  Setup& setup = call.setup;
  setup.unknown = unknown;
  setup.geometric = geometric;
  const std::string f = call.function + "()";
  Pose pose;
  pose.unknown = unknown;
  std::array<std::string, columnCount> given;
  for (const auto& [key, value] : keywords) {
    const std::string name = py::str(key);
    NamedColumn named;
    const std::string refusal = parseColumnName(name, named);
    if (!refusal.empty()) throw py::type_error(f + ": " + name + ": " + refusal);
    const Column c = named.column;
    const Issue issue = give(pose, c);
    switch (issue.fault) {
      case Fault::none:
        break;
      case Fault::targetWithoutSolve:
        throw py::type_error(f + ": " + name + ": a target needs solve(); the inputs are " + inputNames(unknown));
      case Fault::solvedFor:
        throw py::value_error(f + ": the " + (unknown == mach ? "speed" : "altitude") +
                              " is what is solved for; leave out " + name);
      case Fault::givenTwice:
        throw py::type_error(f + ": " + given[c] + " and " + name + " give the same input; give one of them");
      case Fault::twoSpeeds:
        throw py::type_error(f + ": " + given[issue.other] + " and " + name +
                             ": give one speed, as mach, tas, eas or cas");
      case Fault::twoTargets:
        throw py::type_error(f + ": " + given[issue.other] + " and " + name + ": give one target, one of " +
                             targetNames(unknown, columnCount));
      default: {
        std::vector<Column> known = inputsTaken(unknown);
        if (unknown != columnCount) known.insert(known.end(), targets.begin(), targets.end());
        throw py::type_error(f + " got an unexpected keyword argument '" + name + "'; the inputs are " +
                             inputNames(unknown) + ", each in another unit with a suffix such as _ft or _kt" +
                             (unknown == columnCount ? "" : "; the targets are " + targetNames(unknown, columnCount)) +
                             didYouMean(name, namesOf(known)));
      }
    }
    given[c] = name;
    setup.geometric = setup.geometric || named.geometric;
    call.add(name, value, c, 1.0);
    units.push_back(named.unit);
  }
  setup.speed = pose.speed;
  setup.target = pose.target;
  const Issue issue = checkPose(pose);
  if (issue.fault == Fault::noTarget) {
    throw py::value_error(f + ": no target; give one of " + targetNames(unknown, setup.speed));
  }
  if (issue) {
    const std::string reason(solveRefusal(unknown, setup.target, setup.speed));
    if (unknown == mach) {
      throw py::value_error(f + ": " + given[setup.target] + ": " + reason +
                            "; solve(\"altitude\") finds the altitude, or give " +
                            nameList(targetsTaken(mach, columnCount), " or "));
    }
    // The other speeds in the unit of the one given: tas_kt for cas_kt.
    const auto k =
        static_cast<std::size_t>(std::find_if(call.arguments.begin(), call.arguments.end(),
                                              [&setup](const Argument& a) { return a.column == setup.speed; }) -
                                 call.arguments.begin());
    const std::vector<Column> speeds = speedsTaken(unknown, setup.target);
    std::string speedNames;
    for (std::size_t i = 0; i < speeds.size(); ++i) {
      speedNames += (i == 0                  ? ""
                     : i + 1 < speeds.size() ? ", "
                                             : " or ") +
                    std::string(columnKinds[speeds[i]].name) + (speeds[i] != mach ? std::string(units[k].suffix) : "");
    }
    throw py::value_error(f + ": " + given[setup.speed] + " with " + given[setup.target] + ": " + reason +
                          "; give the speed as " + speedNames + ", or the target as " +
                          nameList(targetsTaken(unknown, setup.speed), " or "));
  }
  return call;
}

ColumnChoice chosenColumns(const Call& call, const py::handle& columns) {
  const Setup& setup = call.setup;
  const std::string f = call.function + "()";
  std::vector<std::string> owned;
  std::vector<std::string_view> names;
  if (py::isinstance<py::str>(columns)) {
    owned.push_back(py::str(columns));
    names = splitList(owned.front());
  } else if (!columns.is_none() && py::isinstance<py::iterable>(columns)) {
    for (const py::handle name : columns) {
      if (!py::isinstance<py::str>(name)) {
        throw py::type_error(f + ": columns holds names, not " + Py_TYPE(name.ptr())->tp_name);
      }
      owned.push_back(py::str(name));
    }
    names.assign(owned.begin(), owned.end());
  } else if (!columns.is_none()) {
    throw py::type_error(f + ": columns is None, \"all\", or names, not " + Py_TYPE(columns.ptr())->tp_name);
  }
  ColumnChoice choice =
      chooseColumns(columns.is_none() ? nullptr : &names, {setup.speed, setup.geometric, defaultUnits(), false});
  const Issue& issue = choice.issue;
  const std::string name = "'" + issue.name + "'";
  switch (issue.fault) {
    case Fault::none:
      return choice;
    case Fault::emptyName:
      throw py::value_error(f + ": columns: a name is missing in " + std::string(py::repr(columns)));
    case Fault::foreignSuffix:
      throw py::value_error(f + ": columns: " + name + ": " + issue.detail);
    case Fault::repeatedColumn:
      throw py::value_error(f + ": repeated column " + name);
    case Fault::twoUnits: {
      constexpr std::array<const char*, quantityCount> quantities{"",        "altitudes", "speeds",
                                                                  "weights", "lengths",   "areas"};
      const auto quantity = static_cast<std::size_t>(columnKinds[issue.column].quantity);
      throw py::value_error(f + ": columns '" + issue.otherName + "' and " + name + " are " + quantities[quantity] +
                            " in two units; name them in one, as quorvan-table writes them: '" +
                            headerName(issue.column, setup.geometric, choice.units) + "'");
    }
    default: {
      std::string all;
      for (const std::string& column : columnNames(setup.speed, setup.geometric)) all += ", " + column;
      throw py::value_error(f + ": unknown column " + name + " (the columns are all" + all +
                            ", each with a unit suffix such as _ft or _kt)" +
                            didYouMean(issue.name, namesOf(allColumns(mach))));
    }
  }
}

}  // namespace binding
