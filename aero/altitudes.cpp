#include "altitudes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "atmosphere.h"

namespace aero {

namespace {

constexpr std::size_t layerCount = atmosphereLayers.size();

// The highest altitude (m) of a layer: the largest double below the next base, the upper bound
// for the last layer.
double layerTop(std::size_t layer) {
  return layer + 1 < layerCount ? std::nextafter(atmosphereLayers[layer + 1].baseAltitude, 0.0) : atmosphereUpperBound;
}

// One layer's closed-form inverse of a standard-day value v that falls with altitude:
// h = base + scale ln(v / baseValue) in an isothermal layer (exponent 0),
// h = base + scale ((v / baseValue)^exponent - 1) in a gradient layer.
struct LayerInverse {
  double baseAltitude;  // m
  double topAltitude;   // m, layerTop
  double baseValue;     // the value at baseAltitude
  double topValue;      // the value at topAltitude
  double scale;         // m
  double exponent;
};

using InverseTable = std::array<LayerInverse, layerCount>;

// The inverse of the standard day's pressure (densityExponent false) or density (true).
InverseTable inverseTable(bool densityExponent) {
  InverseTable table{};
  for (std::size_t i = 0; i < layerCount; ++i) {
    const AtmosphereLayer& layer = atmosphereLayers[i];
    const double top = layerTop(i);
    const AirState base = airState(layer.baseAltitude);
    const AirState below = airState(top);
    const double rl = gasConstant * layer.lapseRate;
    table[i].baseAltitude = layer.baseAltitude;
    table[i].topAltitude = top;
    table[i].baseValue = densityExponent ? base.density : base.pressure;
    table[i].topValue = densityExponent ? below.density : below.pressure;
    // p ~ (T / Tb)^(-g0 / (R L)) and rho ~ (T / Tb)^(-(1 + g0 / (R L))), solved for T / Tb.
    table[i].scale = layer.lapseRate == 0.0 ? -gasConstant * layer.baseTemperature / gravity
                                            : layer.baseTemperature / layer.lapseRate;
    table[i].exponent = layer.lapseRate == 0.0 ? 0.0 : densityExponent ? -rl / (rl + gravity) : -rl / gravity;
  }
  return table;
}

// The lowest altitude (m) with this standard-day value: the first layer from the bottom that
// comes down to the value holds the lowest root, or the value lies in the drop at its base.
double altitudeOf(const InverseTable& table, double value) {
  std::size_t i = 0;
  while (i + 1 < layerCount && !(value >= table[i].topValue)) ++i;
  const LayerInverse& layer = table[i];
  // log and expm1 keep the altitude exact to rounding near the base, where the ratio is near 1.
  const double x = std::log(value / layer.baseValue);
  double h = layer.baseAltitude + layer.scale * (layer.exponent == 0.0 ? x : std::expm1(layer.exponent * x));
  // A value in the drop at the base comes out below it and gives the base; rounding must not
  // carry any other result into a neighbouring layer either, whose value there differs.
  if (i > 0) h = std::max(h, layer.baseAltitude);
  if (i + 1 < layerCount) h = std::min(h, layer.topAltitude);
  return h;
}

}  // namespace

double pressureAltitude(double pressure) {
  static const InverseTable table = inverseTable(false);
  return altitudeOf(table, pressure);
}

double densityAltitude(double density) {
  static const InverseTable table = inverseTable(true);
  return altitudeOf(table, density);
}

double geometricAltitude(double geopotentialAltitude) {
  return earthRadius * geopotentialAltitude / (earthRadius - geopotentialAltitude);
}

}  // namespace aero
