#include "atmosphere.h"

#include <cmath>

namespace aero {

std::size_t atmosphereLayerIndex(double altitude) {
  // Count the breakpoints at or below the altitude; the last breakpoint (88000 m) is not a layer
  // of its own, so the count stops at the last row and never passes it. A NaN compares false
  // everywhere and stays in the first row.
  std::size_t index = 0;
  while (index + 1 < atmosphereLayers.size() && atmosphereLayers[index + 1].baseAltitude <= altitude) {
    ++index;
  }
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
    pressure = layer.basePressure * std::pow(1.0 + layer.lapseRate * dh / layer.baseTemperature,
                                             -gravity / (layer.lapseRate * gasConstant));
  }
  density = pressure / (gasConstant * temperature);
}

}  // namespace aero
