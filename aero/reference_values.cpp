#include "reference_values.h"

#include <cmath>

#include "atmosphere.h"
#include "scaled.h"

namespace aero {

namespace {

// Tonnes to newtons: 1000 kg times 9.8 m/s^2, the round figure of the weight convention
// (not 9806.65).
constexpr double tonneWeight = 9800.0;

}  // namespace

void ReferenceValueSet::setDefaults() {
  mach = defaultMach;
  altitude = defaultAltitude;
  weight = defaultWeight;
  refLength = defaultRefLength;
  refArea = defaultRefArea;
  loadFactor = defaultLoadFactor;
}

void ReferenceValueSet::computeReferenceValues() {
  computeReferenceValues(airState(altitude));
}

void ReferenceValueSet::computeReferenceValues(const AirState& air) {
  velocity = air.soundSpeed * mach;
  computeFlow(air);
}

void ReferenceValueSet::computeFlow(const AirState& air) {
  soundSpeed = air.soundSpeed;
  pressure = air.pressure;
  temperature = air.temperature;
  density = air.density;
  viscosity = air.viscosity;
  kinematicViscosity = viscosity / density;
  reynolds = velocity * refLength / kinematicViscosity;
  dynamicPressure = 0.5 * density * velocity * velocity;
  referenceForce = dynamicPressure * refArea;
  liftCoefficient = loadFactor * weight * tonneWeight / referenceForce;
}

double dynamicPressureForLift(double liftCoefficient, double loadFactor, double weight, double refArea) {
  if (!allFinite(liftCoefficient, loadFactor, weight, refArea)) {
    return loadFactor * weight * tonneWeight / (refArea * liftCoefficient);
  }
  Scaled force(loadFactor);
  force *= Scaled(weight);
  force *= Scaled(tonneWeight);
  Scaled area(refArea);
  area *= Scaled(liftCoefficient);
  force /= area;
  return force.value();
}

double velocityForDynamicPressure(double dynamicPressure, double density) {
  if (!allFinite(dynamicPressure, density) || !(dynamicPressure >= 0.0 && density > 0.0)) {
    return std::sqrt(2.0 * dynamicPressure / density);
  }
  Scaled square(2.0);
  square *= Scaled(dynamicPressure);
  square /= Scaled(density);
  return square.root();
}

double velocityForReynolds(double reynolds, double kinematicViscosity, double refLength) {
  if (!allFinite(reynolds, kinematicViscosity, refLength)) return reynolds * kinematicViscosity / refLength;
  Scaled velocity(reynolds);
  velocity *= Scaled(kinematicViscosity);
  velocity /= Scaled(refLength);
  return velocity.value();
}

double pressureForDynamicPressure(double dynamicPressure, double mach) {
  if (!allFinite(dynamicPressure, mach)) return dynamicPressure / (0.7 * mach * mach);
  Scaled machSquared(0.7);
  machSquared *= Scaled(mach);
  machSquared *= Scaled(mach);
  Scaled pressure(dynamicPressure);
  pressure /= machSquared;
  return pressure.value();
}

}  // namespace aero
