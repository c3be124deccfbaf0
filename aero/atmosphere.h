#pragma once

#include <array>
#include <cstddef>

namespace aero {

// One layer of the standard atmosphere: temperature varies linearly with altitude inside it.
struct AtmosphereLayer {
  double baseAltitude;     // m
  double baseTemperature;  // K
  double lapseRate;        // K/m, change of temperature per metre of climb
  double basePressure;     // Pa
};

// Layers of the 1962 U.S. Standard Atmosphere up to 88 km, lowest first. The altitude enters the
// model as it is: no conversion between geometric and geopotential altitude.
inline constexpr std::array<AtmosphereLayer, 8> atmosphereLayers{{
    {0.0, 288.15, -0.0065, 101325.0},
    {11000.0, 216.65, 0.0, 22632.04},
    {20000.0, 216.65, 0.001, 5474.88},
    {32000.0, 228.65, 0.0028, 868.01},
    {47000.0, 270.65, 0.0, 110.9},
    {52000.0, 270.65, -0.002, 59.0},
    {61000.0, 252.65, -0.004, 18.21},
    {79000.0, 180.65, 0.0, 1.038},
}};

// Upper bound of the last layer, m.
inline constexpr double atmosphereUpperBound = 88000.0;

// Specific gas constant of air, J/(kg K).
inline constexpr double gasConstant = 287.053;

// Ratio of specific heats 1.4 times the gas constant 287.053, J/(kg K): the model's speed of sound
// is sqrt(gammaGasConstant T).
inline constexpr double gammaGasConstant = 401.8742;

// Gravitational acceleration the table was built with, m/s^2 (this value, not 9.80665).
inline constexpr double gravity = 9.8065;

// Index of the layer an altitude falls in. A base altitude selects the layer that starts there.
// Below 0 m the first layer continues downward, from 88000 m on the last one continues upward,
// and NaN gives the first layer: the index is always inside the table.
std::size_t atmosphereLayerIndex(double altitude);

// Static pressure (Pa), temperature (K) and density (kg/m^3) at an altitude in metres.
// A NaN altitude gives NaN results.
void standardAtmosphere(double altitude, double& pressure, double& temperature, double& density);

// Mean radius of the Earth used to turn geometric into geopotential altitude, m.
inline constexpr double earthRadius = 6356766.0;

// Geopotential altitude (m) of a geometric altitude (m): H = r0 Z / (r0 + Z), finite for every
// finite Z above -r0 (it tends to r0 as Z grows).
double geopotentialAltitude(double geometricAltitude);

// The state of the air at one altitude, with the properties that follow from its temperature.
struct AirState {
  double pressure = 0.0;     // Pa
  double temperature = 0.0;  // K
  double density = 0.0;      // kg/m^3
  double viscosity = 0.0;    // Pa s, dynamic viscosity (Sutherland's law)
  double soundSpeed = 0.0;   // m/s
};

// The air at an altitude (m) on a day temperatureOffset kelvin warmer than standard at the same
// pressure: the standard pressure, the standard temperature plus the offset, the density of that
// pressure and temperature. An offset of 0 gives exactly the standard atmosphere's values.
AirState airState(double altitude, double temperatureOffset = 0.0);

}  // namespace aero
