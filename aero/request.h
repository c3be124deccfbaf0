#pragma once

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "columns.h"

namespace aero {

// Why a call is refused before any row is computed. The table tool and the Python module word
// each in their own terms (--cas, cas_kt); the rules that find them are these.
enum class Fault {
  none,
  emptyName,           // a column list holds an empty name
  unknownName,         // a name that is no column
  foreignSuffix,       // a column's name with the unit suffix of another quantity
  repeatedColumn,      // a column named twice in a list
  unitNotChosen,       // a column named in another unit than its quantity's chosen one
  twoUnits,            // two columns of one quantity named in different units
  notAnInput,          // values given for a column that is computed, not given
  targetWithoutSolve,  // a target given where nothing is solved for
  solvedFor,           // the unknown given: a speed when solving for the Mach number, the altitude
  givenTwice,          // the same input given twice (in two units, say)
  twoSpeeds,           // a second speed
  twoTargets,          // a second target
  noTarget,            // a solve without a target
  notPosed,            // the target cannot be met by solving for the unknown at the speed given
};

// A fault and what it concerns: the column, the other column where two clash, and for a column
// list the names as given.
struct Issue {
  Fault fault = Fault::none;
  Column column = columnCount;
  Column other = columnCount;
  std::string name;
  std::string otherName;
  // For foreignSuffix: which suffixes the column takes, as parseColumnName says it.
  std::string detail;

  explicit operator bool() const { return fault != Fault::none; }
};

// The columns a list chooses, and the unit of each quantity they are in.
struct ColumnChoice {
  std::vector<Column> columns;
  Units units = defaultUnits();
  Issue issue;
};

// How a column list reads its names.
struct ColumnListRule {
  // The speed given, which the default and all orders start with.
  Column speed = col::mach;
  // The altitudes are geometric: the altitude column may be named geometric_altitude.
  bool geometric = false;
  // The units of the call. With fixedUnits a bare name stands for its column in them and a suffix
  // must name its quantity's unit; otherwise a bare name is in the first unit of its quantity and
  // a suffix chooses its quantity's unit, which no other name of the list may contradict.
  Units units = defaultUnits();
  bool fixedUnits = true;
};

// The columns a list of names chooses: the default columns for no list (nullptr), every column
// for the single name "all", else the names in their order, spaces around each dropped, each a
// column's name with an optional unit suffix. Refuses an empty name, a repeated column and units
// that clash.
ColumnChoice chooseColumns(const std::vector<std::string_view>* names, const ColumnListRule& rule);

// The names of a list separated by commas, each with its spaces (chooseColumns drops them).
std::vector<std::string_view> splitList(std::string_view list);

// What a call solves, as its given columns pose it.
struct Pose {
  // mach or altitude, or columnCount for no solve.
  Column unknown = columnCount;
  // The speed given, mach when none is.
  Column speed = col::mach;
  // The target among targets, or columnCount.
  Column target = columnCount;
  // The inputs and targets given so far.
  ColumnSet given{};
};

// Whether a column is one of the targets of a solve.
bool isTarget(Column column);

// Takes a column a call gives values for into pose: refuses a column that is neither an input nor
// a target, a target where nothing is solved for, the unknown, a second speed or target, and an
// input given twice. The issue's other column is the one given before, where two clash.
Issue give(Pose& pose, Column column);

// Refuses a solve without a target, or one whose target the unknown cannot meet at the speed given
// (the reason in solveRefusal).
Issue checkPose(const Pose& pose);

// The targets a solve for unknown can meet with the speed given as speed, in the order of targets;
// with speed columnCount, those it can meet with some speed.
std::vector<Column> targetsTaken(Column unknown, Column speed);

// The speeds with which a solve for unknown can meet target, in the order of the columns.
std::vector<Column> speedsTaken(Column unknown, Column target);

// The inputs a call takes, in the order of the columns: the speeds unless solving for the Mach
// number, and the other inputs but the unknown.
std::vector<Column> inputsTaken(Column unknown);

// The names of every column in the order "all" gives them, geometric_altitude for the altitude
// when the altitudes are geometric: the list a message of an unknown column shows.
std::vector<std::string> columnNames(Column speed, bool geometric);

// Every name the columns go by with the suffixes of their quantity's units ("cas", "cas_kt", ...),
// and geometric_altitude's with the altitude's: what nearestNames looks among.
std::vector<std::string> namesOf(const std::vector<Column>& columns);

// The candidates nearest to a name that is none of them: those a few letters' edits away (or that
// start with it), the nearest ones only, at most three.
std::vector<std::string> nearestNames(std::string_view name, const std::vector<std::string>& candidates);

// The factor that converts a value in one unit to another of its quantity.
constexpr double conversionFactor(const Unit& from, const Unit& to) {
  return from.factor / to.factor;
}

// Converts a value by a conversion factor, and returns false where a finite value becomes
// infinite. A value already in the unit (factor 1) stays exactly as it is.
inline bool convert(double& value, double factor) {
  if (factor == 1.0) return true;
  const double given = value;
  value *= factor;
  return std::isfinite(value) || !std::isfinite(given);
}

}  // namespace aero
