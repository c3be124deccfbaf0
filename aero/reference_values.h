#pragma once

#include "atmosphere.h"

namespace aero {

// The inputs' starting values: the window's first display.
inline constexpr double defaultMach = 0.8;
inline constexpr double defaultAltitude = 11000.0;  // m
inline constexpr double defaultLoadFactor = 1.0;
inline constexpr double defaultWeight = 50.0;    // t
inline constexpr double defaultRefLength = 3.5;  // m
inline constexpr double defaultRefArea = 56.0;   // m^2

// The calculator's inputs and outputs. SI units, except the weight in metric tonnes.
struct ReferenceValueSet {
  double mach = 0.0;                // flight Mach number (input)
  double altitude = 0.0;            // m (input)
  double weight = 0.0;              // t (input)
  double refLength = 0.0;           // m, length the Reynolds number is based on (input)
  double refArea = 0.0;             // m^2, reference wing area (input)
  double loadFactor = 0.0;          // (input)
  double liftCoefficient = 0.0;     // lift coefficient needed to carry loadFactor * weight
  double temperature = 0.0;         // K, static air temperature
  double reynolds = 0.0;            // Reynolds number based on refLength
  double soundSpeed = 0.0;          // m/s
  double velocity = 0.0;            // m/s, flight speed
  double kinematicViscosity = 0.0;  // m^2/s
  double viscosity = 0.0;           // Pa s, dynamic viscosity
  double density = 0.0;             // kg/m^3
  double pressure = 0.0;            // Pa, static pressure
  double dynamicPressure = 0.0;     // Pa
  double referenceForce = 0.0;      // N, dynamic pressure times reference area

  // Gives the six inputs their starting values.
  void setDefaults();

  // Derives every output from the inputs. Nothing is checked: a zero Mach or area gives an
  // infinite lift coefficient (NaN when the load factor or weight is zero too).
  void computeReferenceValues();

  // Derives every output from the inputs and the given air, which stands in for the standard
  // atmosphere at the altitude; the path every caller with a Mach number computes through.
  void computeReferenceValues(const AirState& air);

  // Derives the outputs that follow from the air and the other inputs, the flight speed given by
  // mach and velocity, both set.
  void computeFlow(const AirState& air);
};

// The reference computation asked backwards, for a target instead of the speed or the altitude.
// None overflows or underflows on the way to a result that is in range.
// Dynamic pressure (Pa) at which liftCoefficient carries loadFactor times weight (t) on refArea (m^2).
double dynamicPressureForLift(double liftCoefficient, double loadFactor, double weight, double refArea);
// Flight speed (m/s) that gives this dynamic pressure (Pa) in air of this density (kg/m^3).
double velocityForDynamicPressure(double dynamicPressure, double density);
// Flight speed (m/s) that gives this Reynolds number on refLength (m) in air of this kinematic
// viscosity (m^2/s).
double velocityForReynolds(double reynolds, double kinematicViscosity, double refLength);
// Static pressure (Pa) at which a Mach number gives this dynamic pressure (Pa): q = 0.7 p M^2, the
// ratio of specific heats 1.4 halved.
double pressureForDynamicPressure(double dynamicPressure, double mach);

}  // namespace aero
