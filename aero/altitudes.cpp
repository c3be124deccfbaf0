#include "altitudes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

#include "atmosphere.h"

namespace aero {

namespace {

constexpr std::size_t layerCount = atmosphereLayers.size();
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

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

// Regula falsi with the Anderson-Bjorck modification between a (falling(a) > target) and b
// (falling(b) <= target), on the logarithms of the values where they are positive: pressure and
// density are nearly exponential in altitude, so the first step lands close. Each step moves at
// least one double inside the bracket, and a step that follows four without halving it is a
// bisection, so it always ends, at two adjacent doubles at worst.
double solveInLayer(double target, const std::function<double(double)>& falling, double a, double fa, double b,
                    double fb) {
  const bool logarithmic = fb > 0.0;
  const auto distance = [&](double v) { return logarithmic ? std::log(v / target) : v - target; };
  double da = distance(fa);
  double db = distance(fb);
  int lastSide = 0;
  std::array<double, 4> widths;
  widths.fill(std::numeric_limits<double>::infinity());
  for (std::size_t step = 0; std::nextafter(a, b) < b; ++step) {
    double m = a + (b - a) * (da / (da - db));
    double& widthFourStepsAgo = widths[step % widths.size()];
    if (std::isnan(m) || b - a > 0.5 * widthFourStepsAgo) {
      m = a + 0.5 * (b - a);
    } else {
      m = std::min(std::max(m, std::nextafter(a, b)), std::nextafter(b, a));
    }
    widthFourStepsAgo = b - a;
    const double fm = falling(m);
    if (fm == target) return m;
    const double dm = distance(fm);
    // When the same end moves twice, the other end's weight shrinks so the next step crosses over.
    if (fm > target) {
      if (lastSide > 0) db *= dm < da ? 1.0 - dm / da : 0.5;
      a = m;
      da = dm;
      lastSide = 1;
    } else {
      if (lastSide < 0) da *= dm > db ? 1.0 - dm / db : 0.5;
      b = m;
      db = dm;
      lastSide = -1;
    }
  }
  return b;
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

double lowestAltitudeWhere(double target, const std::function<double(double)>& falling) {
  // Only the top of each layer is needed to find the first one that reaches the target (a NaN
  // target reaches none); the layer's base value then tells a root inside it from a drop at its
  // base.
  for (std::size_t i = 0; i < layerCount; ++i) {
    const double top = layerTop(i);
    const double topValue = falling(top);
    if (!(target >= topValue)) continue;
    const double base = atmosphereLayers[i].baseAltitude;
    const double baseValue = falling(base);
    if (target > baseValue) return i > 0 ? base : notANumber;
    if (target == baseValue) return base;
    return solveInLayer(target, falling, base, baseValue, top, topValue);
  }
  return notANumber;
}

}  // namespace aero
