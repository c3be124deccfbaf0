#include "reference_values.h"

#include <cmath>

#include "atmosphere.h"

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
  soundSpeed = air.soundSpeed;
  velocity = soundSpeed * mach;
  computeFlow(air);
}

void ReferenceValueSet::computeReferenceValuesAtVelocity(const AirState& air) {
  soundSpeed = air.soundSpeed;
  mach = velocity / soundSpeed;
  computeFlow(air);
}

void ReferenceValueSet::computeFlow(const AirState& air) {
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
  return loadFactor * weight * tonneWeight / (refArea * liftCoefficient);
}

double velocityForDynamicPressure(double dynamicPressure, double density) {
  return std::sqrt(2.0 * dynamicPressure / density);
}

double velocityForReynolds(double reynolds, double kinematicViscosity, double refLength) {
  return reynolds * kinematicViscosity / refLength;
}

double pressureForDynamicPressure(double dynamicPressure, double mach) {
  return dynamicPressure / (0.7 * mach * mach);
}

}  // namespace aero
