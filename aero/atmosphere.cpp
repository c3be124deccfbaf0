#include "atmosphere.h"

#include <cmath>

#include "scaled.h"

namespace aero {

namespace {

// Sutherland's law for air.
constexpr double sutherlandFactor = 1.458e-6;    // kg/(m s K^0.5)
constexpr double sutherlandTemperature = 110.4;  // K

}  // namespace

std::size_t atmosphereLayerIndex(double altitude) {
  // Count the breakpoints at or below the altitude; the last breakpoint (88000 m) is not a layer
  // of its own, so the count stops at the last row and never passes it. A NaN compares false
  // everywhere and stays in the first row. The bases rise, so the count is the index; counted
  // without a branch, which altitudes in no order would mispredict.
  std::size_t index = 0;
  for (std::size_t i = 1; i < atmosphereLayers.size(); ++i) index += atmosphereLayers[i].baseAltitude <= altitude;
  return index;
}

void standardAtmosphere(double altitude, double& pressure, double& temperature, double& density) {
  const AtmosphereLayer& layer = atmosphereLayers[atmosphereLayerIndex(altitude)];
  const double dh = altitude - layer.baseAltitude;
  if (layer.lapseRate == 0.0) {
    temperature = layer.baseTemperature;
    pressure = layer.basePressure * std::exp(-gravity * dh / (gasConstant * layer.baseTemperature));
  } else {
    temperature = layer.baseTemperature + layer.lapseRate * dh;
    pressure = layer.basePressure *
               std::pow(1.0 + layer.lapseRate * dh / layer.baseTemperature, -gravity / (layer.lapseRate * gasConstant));
  }
  density = pressure / (gasConstant * temperature);
}

double geopotentialAltitude(double geometricAltitude) {
  if (!std::isfinite(geometricAltitude)) return earthRadius * geometricAltitude / (earthRadius + geometricAltitude);
  Scaled altitude(earthRadius);
  altitude *= Scaled(geometricAltitude);
  altitude /= Scaled(earthRadius + geometricAltitude);
  return altitude.value();
}

AirState airState(double altitude, double temperatureOffset) {
  AirState air;
  standardAtmosphere(altitude, air.pressure, air.temperature, air.density);
  // Skipped at 0 so the standard day keeps the atmosphere's own density untouched.
  if (temperatureOffset != 0.0) {
    air.temperature += temperatureOffset;
    air.density = air.pressure / (gasConstant * air.temperature);
  }
  const double t = air.temperature;
  air.viscosity = sutherlandFactor * t * std::sqrt(t) / (t + sutherlandTemperature);
  air.soundSpeed = std::sqrt(gammaGasConstant * t);
  return air;
}

}  // namespace aero
