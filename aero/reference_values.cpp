#include "reference_values.h"

#include <cmath>

#include "atmosphere.h"

namespace aero {

namespace {

// Sutherland's law for air.
constexpr double sutherlandFactor = 1.458e-6;  // kg/(m s K^0.5)
constexpr double sutherlandTemperature = 110.4;  // K

// Ratio of specific heats 1.4 times the gas constant 287.053, J/(kg K).
constexpr double gammaGasConstant = 401.8742;

// Tonnes to newtons: 1000 kg times 9.8 m/s^2, the round figure of the weight convention
// (not 9806.65).
constexpr double tonneWeight = 9800.0;

}  // namespace

void ReferenceValueSet::setDefaults() {
  mach = 0.8;
  altitude = 11000.0;
  weight = 50.0;
  refLength = 3.5;
  refArea = 56.0;
  loadFactor = 1.0;
}

void ReferenceValueSet::computeReferenceValues() {
  standardAtmosphere(altitude, pressure, temperature, density);
  viscosity = sutherlandFactor * temperature * std::sqrt(temperature) / (temperature + sutherlandTemperature);
  soundSpeed = std::sqrt(gammaGasConstant * temperature);
  velocity = soundSpeed * mach;
  kinematicViscosity = viscosity / density;
  reynolds = velocity * refLength / kinematicViscosity;
  dynamicPressure = 0.5 * density * velocity * velocity;
  referenceForce = dynamicPressure * refArea;
  liftCoefficient = loadFactor * weight * tonneWeight / referenceForce;
}

}  // namespace aero
