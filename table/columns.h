#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace table {

// The seven inputs, in the order of the table's columns and of its sweep (mach slowest).
enum Input : std::size_t { mach, altitude, loadFactor, weight, refLength, refArea, isaOffset, inputCount };

using Inputs = std::array<double, inputCount>;

inline constexpr std::array<std::string_view, inputCount> inputNames{"mach",       "altitude", "load_factor", "weight",
                                                                     "ref_length", "ref_area", "isa_offset"};

// What the tool computes, after the inputs, in this order.
inline constexpr std::array<std::string_view, 12> outputNames{"geopotential_altitude",
                                                              "lift_coefficient",
                                                              "reynolds",
                                                              "velocity",
                                                              "sound_speed",
                                                              "temperature",
                                                              "viscosity",
                                                              "kinematic_viscosity",
                                                              "density",
                                                              "pressure",
                                                              "dynamic_pressure",
                                                              "reference_force"};

inline constexpr std::size_t columnCount = inputCount + outputNames.size();

// The inputs' values when nothing gives them: the window's first display, on a standard day.
inline constexpr Inputs defaultInputs{0.8, 11000.0, 1.0, 50.0, 3.5, 56.0, 0.0};

}  // namespace table
