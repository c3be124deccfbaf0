#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace table {

// The table's columns in their order: the seven inputs (in the order of the sweep, mach slowest),
// the geopotential altitude, then the window's outputs.
enum Column : std::size_t {
  mach,
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
  columnCount
};

inline constexpr std::size_t inputCount = isaOffset + 1;

inline constexpr std::array<std::string_view, columnCount> columnNames{
    "mach",     "altitude",    "load_factor",           "weight",           "ref_length",
    "ref_area", "isa_offset",  "geopotential_altitude", "lift_coefficient", "reynolds",
    "velocity", "sound_speed", "temperature",           "viscosity",        "kinematic_viscosity",
    "density",  "pressure",    "dynamic_pressure",      "reference_force"};

// The altitude column's name when its altitudes are geometric.
inline constexpr std::string_view geometricAltitudeName = "geometric_altitude";

// A column's name in a header; geometric: the table's altitudes are geometric.
constexpr std::string_view columnName(std::size_t column, bool geometric) {
  return column == altitude && geometric ? geometricAltitudeName : columnNames[column];
}

// The command-line option of an input: "--load-factor".
inline std::string optionName(std::size_t input) {
  std::string option = "--" + std::string(columnNames[input]);
  std::replace(option.begin(), option.end(), '_', '-');
  return option;
}

using Inputs = std::array<double, inputCount>;
using Row = std::array<double, columnCount>;

}  // namespace table
