#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace aero {

// What a column measures, for its unit; none stays SI whatever the units chosen.
enum class Quantity : std::size_t { none, altitude, speed, weight, length, area };
inline constexpr std::size_t quantityCount = 6;

// The values of a flight condition, each a column of the table tool and a name in the Python
// module: the inputs (one of the four speeds, the altitude and the rest), then what follows from them.
// The names live in a namespace of their own, beside the functions that compute some of them.
namespace col {
enum Column : std::size_t {
  mach,
  tas,
  eas,
  cas,
  altitude,
  loadFactor,
  weight,
  refLength,
  refArea,
  isaOffset,
  geopotentialAltitude,
  liftCoefficient,
  reynolds,
  velocity,
  soundSpeed,
  temperature,
  viscosity,
  kinematicViscosity,
  density,
  pressure,
  dynamicPressure,
  referenceForce,
  impactPressure,
  totalPressure,
  totalTemperature,
  pressureRatio,
  temperatureRatio,
  densityRatio,
  densityAltitude,
  unitReynolds,
  columnCount
};
}  // namespace col
using col::Column;
using col::columnCount;

struct ColumnKind {
  std::string_view name;
  Quantity quantity;
};

inline constexpr std::array<ColumnKind, columnCount> columnKinds{{
    {"mach", Quantity::none},
    {"tas", Quantity::speed},
    {"eas", Quantity::speed},
    {"cas", Quantity::speed},
    {"altitude", Quantity::altitude},
    {"load_factor", Quantity::none},
    {"weight", Quantity::weight},
    {"ref_length", Quantity::length},
    {"ref_area", Quantity::area},
    {"isa_offset", Quantity::none},
    {"geopotential_altitude", Quantity::altitude},
    {"lift_coefficient", Quantity::none},
    {"reynolds", Quantity::none},
    {"velocity", Quantity::speed},
    {"sound_speed", Quantity::speed},
    {"temperature", Quantity::none},
    {"viscosity", Quantity::none},
    {"kinematic_viscosity", Quantity::none},
    {"density", Quantity::none},
    {"pressure", Quantity::none},
    {"dynamic_pressure", Quantity::none},
    {"reference_force", Quantity::none},
    {"impact_pressure", Quantity::none},
    {"total_pressure", Quantity::none},
    {"total_temperature", Quantity::none},
    {"pressure_ratio", Quantity::none},
    {"temperature_ratio", Quantity::none},
    {"density_ratio", Quantity::none},
    {"density_altitude", Quantity::altitude},
    {"unit_reynolds", Quantity::none},
}};

// The altitude column's name when its altitudes are geometric.
inline constexpr std::string_view geometricAltitudeName = "geometric_altitude";

// Whether a column is one of the four ways to give the speed.
constexpr bool isSpeed(Column column) {
  return column <= col::cas;
}

// The inputs besides the speed, in the order of a sweep after it.
inline constexpr std::array<Column, 6> otherInputs{col::altitude,  col::loadFactor, col::weight,
                                                   col::refLength, col::refArea,    col::isaOffset};

// What a solve can aim at, in the order the options list them.
inline constexpr std::array<Column, 5> targets{col::liftCoefficient, col::reynolds, col::dynamicPressure, col::pressure,
                                               col::density};

// A unit: its name in the options, the suffix of a column in it, and its size in the quantity's
// first unit (m, m/s, t, m, m^2). The factors are exact by definition.
struct Unit {
  Quantity quantity;
  std::string_view name;
  std::string_view suffix;
  double factor;
};

inline constexpr std::array<Unit, 20> units{{
    {Quantity::none, "", "", 1.0},
    {Quantity::altitude, "m", "", 1.0},
    {Quantity::altitude, "ft", "_ft", 0.3048},
    {Quantity::altitude, "km", "_km", 1000.0},
    {Quantity::speed, "m/s", "", 1.0},
    {Quantity::speed, "kt", "_kt", 1852.0 / 3600.0},
    {Quantity::speed, "km/h", "_kmh", 1000.0 / 3600.0},
    {Quantity::speed, "mph", "_mph", 0.44704},
    {Quantity::speed, "ft/s", "_fps", 0.3048},
    {Quantity::weight, "t", "", 1.0},
    {Quantity::weight, "kg", "_kg", 0.001},
    {Quantity::weight, "lb", "_lb", 0.00045359237},
    {Quantity::length, "m", "", 1.0},
    {Quantity::length, "mm", "_mm", 0.001},
    {Quantity::length, "ft", "_ft", 0.3048},
    {Quantity::length, "in", "_in", 0.0254},
    {Quantity::area, "m2", "", 1.0},
    {Quantity::area, "mm2", "_mm2", 1e-6},
    {Quantity::area, "ft2", "_ft2", 0.09290304},
    {Quantity::area, "in2", "_in2", 0.00064516},
}};

// The unit chosen for each quantity.
using Units = std::array<Unit, quantityCount>;

// The first unit of each quantity, the default.
constexpr Units defaultUnits() {
  Units chosen{};
  for (std::size_t i = units.size(); i-- > 0;) chosen[static_cast<std::size_t>(units[i].quantity)] = units[i];
  return chosen;
}

// A column's unit among the chosen ones.
constexpr const Unit& unitOf(Column column, const Units& chosen) {
  return chosen[static_cast<std::size_t>(columnKinds[column].quantity)];
}

// A column's name in a header: its name, geometric_altitude for geometric altitudes, and the
// suffix of its unit.
std::string headerName(Column column, bool geometric, const Units& chosen);

// A column named in a header or a keyword, with the unit its suffix names.
struct NamedColumn {
  Column column = columnCount;  // columnCount for a name that is none of the columns
  Unit unit = units[0];
  bool geometric = false;  // named geometric_altitude
};

// Reads a column's name with an optional unit suffix ("altitude_ft", "cas_kt"). Returns an empty
// string, or why a name that is a column's with a suffix of another quantity is refused.
std::string parseColumnName(std::string_view text, NamedColumn& named);

// The columns shown when none are chosen, for a speed given as this column: the speed, the other
// inputs, geopotential_altitude, mach when another speed was given, then the window's outputs.
std::vector<Column> defaultColumns(Column speed);

// Every column: the default ones, then the rest in the order of Column.
std::vector<Column> allColumns(Column speed);

// All the values of one flight condition, in the order of Column.
using Row = std::array<double, columnCount>;

// Which columns are wanted, in the order of Column.
using ColumnSet = std::array<bool, columnCount>;

}  // namespace aero
