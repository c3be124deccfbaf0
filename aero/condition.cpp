#include "condition.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "airspeed.h"
#include "altitudes.h"
#include "atmosphere.h"
#include "reference_values.h"
#include "request.h"

namespace aero {

using namespace col;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

// A solution meets its target when the row computed from it gives the target to this, relatively.
constexpr double targetTolerance = 1e-9;

// The coldest standard temperature anywhere an altitude is searched, 0 to 88000 m (K).
constexpr double coldestStandardTemperature =
    std::min_element(atmosphereLayers.begin(), atmosphereLayers.end(), [](const auto& a, const auto& b) {
      return a.baseTemperature < b.baseTemperature;
    }) -> baseTemperature;

// A row's inputs in SI: the speed (m/s, or the Mach number) as the setup gives it, the day's
// offset (K), and the load factor, weight (t), reference length (m) and area (m^2).
struct Inputs {
  Column speed = mach;
  double speedValue = 0.0;
  double impactPressure = 0.0;  // Pa, of a CAS: the same at every altitude
  double offset = 0.0;
  ReferenceValueSet values;
};

// A column's value in the first unit of its quantity.
double si(const Row& row, Column column, const Setup& setup) {
  return row[column] * unitOf(column, setup.units).factor;
}

Inputs inputsOf(const Row& row, const Setup& setup) {
  Inputs in;
  in.speed = setup.speed;
  in.speedValue = si(row, setup.speed, setup);
  if (setup.speed == cas) in.impactPressure = impactPressureOfCalibratedAirspeed(in.speedValue);
  in.offset = row[isaOffset];
  in.values.loadFactor = row[loadFactor];
  in.values.weight = si(row, weight, setup);
  in.values.refLength = si(row, refLength, setup);
  in.values.refArea = si(row, refArea, setup);
  return in;
}

// The geopotential altitude of a row, m.
double heightOf(const Row& row, const Setup& setup) {
  const double given = si(row, altitude, setup);
  return setup.geometric ? aero::geopotentialAltitude(given) : given;
}

// The reference values of the inputs at a geopotential altitude (m): the one computation behind
// every row and every searched solve.
ReferenceValueSet flowAt(const Inputs& in, double height) {
  const AirState air = airState(height, in.offset);
  ReferenceValueSet v = in.values;
  switch (in.speed) {
    case tas:
      v.velocity = in.speedValue;
      v.mach = v.velocity / air.soundSpeed;
      break;
    case eas:
      v.velocity = trueAirspeedOfEquivalent(in.speedValue, air.density);
      v.mach = v.velocity / air.soundSpeed;
      break;
    case cas:
      v.mach = machFromCalibratedAirspeed(in.speedValue, in.impactPressure, air.pressure);
      // At sea-level pressure M = CAS / a0, so TAS = CAS a / a0: a standard day's sea level gives TAS = CAS.
      v.velocity = air.pressure == seaLevelPressure ? in.speedValue * (air.soundSpeed / seaLevelSoundSpeed())
                                                    : v.mach * air.soundSpeed;
      break;
    default:
      v.mach = in.speedValue;
      v.velocity = air.soundSpeed * v.mach;
  }
  v.computeFlow(air);
  return v;
}

// The member of the reference values a target column is.
double ReferenceValueSet::*fieldOf(Column target) {
  switch (target) {
    case liftCoefficient:
      return &ReferenceValueSet::liftCoefficient;
    case reynolds:
      return &ReferenceValueSet::reynolds;
    case pressure:
      return &ReferenceValueSet::pressure;
    case density:
      return &ReferenceValueSet::density;
    default:
      return &ReferenceValueSet::dynamicPressure;
  }
}

// Whether solving for the altitude searches for it rather than inverting the pressure in closed form.
bool searched(const Setup& setup) {
  return setup.unknown == altitude && setup.target != pressure &&
         !(setup.speed == mach && (setup.target == dynamicPressure || setup.target == liftCoefficient));
}

// The altitude to write for a geopotential altitude h (m): in the altitude unit, geometric when the
// row's altitudes are, and moved by the last digit where needed so that, read back, it lies in h's
// layer and gives that layer's values.
double altitudeToWrite(double h, const Setup& setup) {
  const double factor = unitOf(altitude, setup.units).factor;
  const auto layerBack = [&](double written) {
    const double given = written * factor;
    return atmosphereLayerIndex(setup.geometric ? aero::geopotentialAltitude(given) : given);
  };
  const std::size_t layer = atmosphereLayerIndex(h);
  double written = (setup.geometric ? geometricAltitude(h) : h) / factor;
  // The round trip is off by a few units of the last digit at most.
  for (int step = 0; step < 16 && layerBack(written) != layer; ++step) {
    written = std::nextafter(written, layerBack(written) < layer ? INFINITY : -INFINITY);
  }
  return written;
}

// The unknown's value (the Mach number, or the altitude as altitudeToWrite gives it) at which the
// row meets its target, or NaN; base is set to the layer base when the target lies in the drop
// there.
double solve(const Row& row, const Setup& setup, double& base) {
  const Inputs in = inputsOf(row, setup);
  const double target = row[setup.target];
  // A lift coefficient is met where the dynamic pressure that carries the weight is.
  const double q = setup.target == liftCoefficient
                       ? dynamicPressureForLift(target, in.values.loadFactor, in.values.weight, in.values.refArea)
                       : target;
  if (setup.unknown == mach) {
    const ReferenceValueSet at = flowAt(in, heightOf(row, setup));
    const double u = setup.target == reynolds ? velocityForReynolds(target, at.kinematicViscosity, at.refLength)
                                              : velocityForDynamicPressure(q, at.density);
    return u / at.soundSpeed;
  }
  double h = notANumber;
  if (!searched(setup)) {
    h = pressureAltitude(setup.target == pressure ? target : pressureForDynamicPressure(q, in.speedValue));
  } else {
    const auto field = fieldOf(setup.target == liftCoefficient ? dynamicPressure : setup.target);
    h = lowestAltitudeWhere(setup.target == liftCoefficient ? q : target,
                            [&in, field](double height) { return flowAt(in, height).*field; });
  }
  if (!(h >= 0.0 && h <= atmosphereUpperBound)) return notANumber;
  if (h > 0.0 && atmosphereLayers[atmosphereLayerIndex(h)].baseAltitude == h) base = h;
  return altitudeToWrite(h, setup);
}

// Whether a row computed from a solution meets the target asked for: to targetTolerance, or, at a
// layer base where the value jumps, anywhere inside the jump.
bool meetsTarget(const Row& row, const Setup& setup, double target, double base) {
  const double got = row[setup.target];
  if (std::abs(got - target) <= targetTolerance * target) return true;
  if (std::isnan(base)) return false;
  const double below = flowAt(inputsOf(row, setup), std::nextafter(base, 0.0)).*fieldOf(setup.target);
  return std::min(got, below) <= target && target <= std::max(got, below);
}

// Computes every column of a row from its inputs, the unknown of a solve among them.
double computeColumns(Row& row, const Setup& setup) {
  const auto put = [&](Column c, double value) { row[c] = value / unitOf(c, setup.units).factor; };
  const ColumnSet& wanted = setup.wanted;
  const Inputs in = inputsOf(row, setup);
  const double given = row[setup.speed];
  const double height = heightOf(row, setup);
  const ReferenceValueSet v = flowAt(in, height);

  row[col::geopotentialAltitude] = row[altitude];
  if (setup.geometric) put(col::geopotentialAltitude, height);
  row[mach] = v.mach;
  put(velocity, v.velocity);
  row[tas] = row[velocity];
  if (wanted[eas]) put(eas, equivalentAirspeed(v.velocity, v.density));
  double qc = notANumber;
  if (wanted[cas] || wanted[col::impactPressure] || wanted[col::totalPressure]) {
    qc = setup.speed == cas ? in.impactPressure : aero::impactPressure(v.mach, v.pressure);
    if (setup.speed != cas) put(cas, calibratedAirspeed(qc));
  }
  row[col::impactPressure] = qc;
  // The speed given stays exactly as written, and so does the same speed under its other name.
  row[setup.speed] = given;
  if (setup.speed == tas) row[velocity] = given;
  row[liftCoefficient] = v.liftCoefficient;
  row[reynolds] = v.reynolds;
  put(soundSpeed, v.soundSpeed);
  row[temperature] = v.temperature;
  row[viscosity] = v.viscosity;
  row[kinematicViscosity] = v.kinematicViscosity;
  row[density] = v.density;
  row[pressure] = v.pressure;
  row[dynamicPressure] = v.dynamicPressure;
  row[referenceForce] = v.referenceForce;
  // Up to Mach 1 a pitot reads the total pressure, p + qc.
  if (wanted[col::totalPressure]) {
    row[col::totalPressure] = v.mach <= 1.0 ? v.pressure + qc : aero::totalPressure(v.mach, v.pressure);
  }
  row[col::totalTemperature] = aero::totalTemperature(v.mach, v.temperature);
  row[pressureRatio] = v.pressure / seaLevelPressure;
  row[temperatureRatio] = v.temperature / seaLevelTemperature;
  row[densityRatio] = v.density / seaLevelDensity;
  if (wanted[col::densityAltitude]) {
    const double h = aero::densityAltitude(v.density);
    put(col::densityAltitude, setup.geometric ? geometricAltitude(h) : h);
  }
  row[unitReynolds] = v.velocity / v.kinematicViscosity;
  return height;
}

}  // namespace

double computeRow(Row& row, const Setup& setup) {
  if (setup.unknown == columnCount) return computeColumns(row, setup);
  const double target = row[setup.target];
  double base = notANumber;
  row[setup.unknown] = solve(row, setup, base);
  double height = computeColumns(row, setup);
  if (!meetsTarget(row, setup, target, base)) {
    row[setup.unknown] = notANumber;
    height = computeColumns(row, setup);
  }
  row[setup.target] = target;
  return height;
}

bool freezesSomewhere(double offset) {
  return offset + coldestStandardTemperature <= 0.0;
}

double defaultValue(Column input, const Units& chosen) {
  constexpr std::array<std::pair<Column, double>, 6> defaults{{{mach, defaultMach},
                                                               {altitude, defaultAltitude},
                                                               {loadFactor, defaultLoadFactor},
                                                               {weight, defaultWeight},
                                                               {refLength, defaultRefLength},
                                                               {refArea, defaultRefArea}}};
  for (const auto& [column, value] : defaults) {
    if (column == input) return value / unitOf(column, chosen).factor;
  }
  return 0.0;
}

std::string_view solveRefusal(Column unknown, Column target, Column speed) {
  if (unknown == mach && (target == pressure || target == density)) {
    return "the pressure and the density fix the altitude, not the speed";
  }
  if (unknown == altitude && (speed == eas || speed == cas) &&
      (target == dynamicPressure || target == liftCoefficient)) {
    return speed == eas ? "at a given EAS the dynamic pressure and the lift coefficient do not depend on the altitude"
                        : "at a given CAS the dynamic pressure and the lift coefficient hardly depend on the altitude";
  }
  return {};
}

RowRefusal refusalOf(const Row& row, const Setup& setup) {
  const bool solvingAltitude = setup.unknown == altitude;
  // The other inputs and the targets have no unit but SI.
  for (const Column input : {setup.speed, altitude, weight, refLength, refArea}) {
    double value = row[input];
    if (input != setup.unknown && !convert(value, unitOf(input, setup.units).factor)) return {Refusal::overflow, input};
  }
  if (setup.geometric && !solvingAltitude && si(row, altitude, setup) <= -earthRadius) {
    return {Refusal::belowEarthsCentre, altitude};
  }
  if (setup.unknown != mach && row[setup.speed] < 0.0) return {Refusal::negativeSpeed, setup.speed};
  if (setup.target != columnCount && row[setup.target] <= 0.0) return {Refusal::targetNotPositive, setup.target};
  if (freezesSomewhere(row[isaOffset])) {
    if (solvingAltitude) return {Refusal::airAtOrBelowZero, isaOffset};
    const double height = heightOf(row, setup);
    const AtmosphereLayer& layer = atmosphereLayers[atmosphereLayerIndex(height)];
    // An isothermal layer keeps its temperature up to an infinite height (where 0 * inf is NaN).
    const double standard = layer.lapseRate == 0.0
                                ? layer.baseTemperature
                                : layer.baseTemperature + layer.lapseRate * (height - layer.baseAltitude);
    if (standard + row[isaOffset] <= 0.0) return {Refusal::airAtOrBelowZero, isaOffset};
  }
  if (searched(setup) && row[isaOffset] < coldestSearchedOffset) return {Refusal::tooColdToSearch, isaOffset};
  return {};
}

}  // namespace aero
