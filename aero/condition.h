#pragma once

#include <string_view>

#include "columns.h"

namespace aero {

// How the columns of a flight condition follow from its inputs.
struct Setup {
  Setup() { wanted.fill(true); }

  // The column the speed is given as: mach, tas, eas or cas.
  Column speed = col::mach;
  // The altitude column holds geometric altitudes, and so does density_altitude.
  bool geometric = false;
  // The unit of each quantity the row's values are in.
  Units units = defaultUnits();
  // The columns needed; the dearer ones are computed only then.
  ColumnSet wanted;
  // When solving: the unknown (mach or altitude) and the target among targets; columnCount otherwise.
  Column unknown = columnCount;
  Column target = columnCount;
};

// The coldest ISA offset (K) at which an altitude is searched for: colder than this the density
// and the Reynolds number may rise with altitude inside a layer, and the lowest altitude with a
// value would not be certain. -90 K is colder than any day flown (at sea level -75 C).
inline constexpr double coldestSearchedOffset = -90.0;

// Whether a day this many kelvin off standard has air at or below 0 K at some altitude: only then
// does a row's altitude decide whether the model can take it.
bool freezesSomewhere(double offset);

// Computes the columns of a row from its inputs (the speed column, the altitude and the other
// inputs, in their units), as the window computes them, and returns the geopotential altitude in m.
// The inputs are left exactly as they are. When solving, the unknown is found first; where no value
// gives a row that meets the target to 1e-9, it is NaN, like everything computed from it (a target
// inside the small drop of a value at a layer base is met at the base). The target column then
// keeps the target asked for.
double computeRow(Row& row, const Setup& setup);

// The value an input takes when nothing gives it, in its chosen unit: the window's first display,
// on a standard day.
double defaultValue(Column input, const Units& chosen);

// Why no solve for the unknown can meet the target with the speed given as speed; empty when one
// can. The reason names no option: "dynamic pressure and lift coefficient do not depend on ...".
std::string_view solveRefusal(Column unknown, Column target, Column speed);

// What makes a row one the model cannot take.
enum class Refusal {
  none,
  overflow,           // an input too large for its unit's conversion to SI
  belowEarthsCentre,  // a geometric altitude at or below minus the Earth's radius
  negativeSpeed,      // the speed given
  targetNotPositive,  // the target of a solve
  airAtOrBelowZero,   // the offset, at the altitude or anywhere an altitude is searched
  tooColdToSearch,    // the offset, below coldestSearchedOffset for a searched altitude
};

// The first reason a row's inputs cannot be computed, and the input it concerns. A NaN input is no
// reason: it gives NaN where it is used.
struct RowRefusal {
  Refusal reason = Refusal::none;
  Column input = columnCount;
};
RowRefusal refusalOf(const Row& row, const Setup& setup);

}  // namespace aero
