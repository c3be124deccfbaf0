#include "reference_values.h"

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
  pressure = air.pressure;
  temperature = air.temperature;
  density = air.density;
  viscosity = air.viscosity;
  soundSpeed = air.soundSpeed;
  velocity = soundSpeed * mach;
  kinematicViscosity = viscosity / density;
  reynolds = velocity * refLength / kinematicViscosity;
  dynamicPressure = 0.5 * density * velocity * velocity;
  referenceForce = dynamicPressure * refArea;
  liftCoefficient = loadFactor * weight * tonneWeight / referenceForce;
}

}  // namespace aero
