#pragma once

#include "atmosphere.h"

namespace aero {

// Static pressure at sea level on a standard day, Pa: the first layer's base.
inline constexpr double seaLevelPressure = atmosphereLayers[0].basePressure;

// Temperature at sea level on a standard day, K.
inline constexpr double seaLevelTemperature = atmosphereLayers[0].baseTemperature;

// Density at sea level on a standard day, kg/m^3: 1.2249994633, not the rounded 1.225, so that
// equivalent airspeed is exactly M a0 sqrt(p / p0) (rho a^2 = 1.4 p).
inline constexpr double seaLevelDensity = seaLevelPressure / (gasConstant * seaLevelTemperature);

// Speed of sound at sea level on a standard day, m/s: the very double airState(0.0) gives, so
// that calibrated and true airspeed agree there.
double seaLevelSoundSpeed();

// Impact pressure qc = pt - p (Pa) a pitot tube reads at a Mach number in air of static pressure
// p (Pa): isentropic up to and including Mach 1, behind a normal shock above. A negative or NaN
// Mach gives NaN.
double impactPressure(double mach, double pressure);

// Mach number whose impact pressure (Pa) in air of static pressure p (Pa) is the one given: the
// inverse of impactPressure. A negative or NaN impact pressure gives NaN.
double machFromImpactPressure(double impactPressure, double pressure);

// Mach number of a calibrated airspeed (m/s), whose impact pressure impactPressureOfCalibratedAirspeed
// gives (Pa; a caller trying many altitudes computes it once), in air of static pressure p (Pa): the
// Mach number with that impact pressure there. At sea-level pressure that is CAS / a0 itself, with no
// round trip through the impact pressure, so that on a standard day at sea level the true airspeed
// is the CAS.
double machFromCalibratedAirspeed(double calibratedAirspeed, double impactPressure, double pressure);

// Calibrated airspeed (m/s) of an impact pressure (Pa): the speed that gives this impact pressure
// at sea level on a standard day.
double calibratedAirspeed(double impactPressure);

// Impact pressure (Pa) of a calibrated airspeed (m/s): the inverse of calibratedAirspeed.
double impactPressureOfCalibratedAirspeed(double calibratedAirspeed);

// Equivalent airspeed (m/s) of a true airspeed (m/s) in air of a density (kg/m^3): the speed at
// sea-level density with the same dynamic pressure.
double equivalentAirspeed(double trueAirspeed, double density);

// True airspeed (m/s) of an equivalent airspeed (m/s) in air of a density (kg/m^3).
double trueAirspeedOfEquivalent(double equivalentAirspeed, double density);

// Total pressure (Pa) of the free stream at a Mach number and static pressure (Pa), brought to
// rest isentropically. Above Mach 1 a pitot reads less (p + impactPressure) behind its shock. A
// negative Mach gives NaN.
double totalPressure(double mach, double pressure);

// Total temperature (K) of the free stream at a Mach number and static temperature (K). A negative
// Mach gives NaN.
double totalTemperature(double mach, double temperature);

}  // namespace aero
