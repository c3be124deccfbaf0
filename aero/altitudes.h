#pragma once

#include <functional>

namespace aero {

// The model's base pressures are rounded, so at some layer bases the model jumps. Where a value
// rises going up through a base (52000 and 79000 m) it is reached at two altitudes and the inverses
// below give the lower one; where it drops past a value (11000, 20000, 32000, 47000 and 61000 m)
// no altitude gives that value and they give the base altitude, where the model passes it.

// Pressure altitude: the geopotential altitude (m) at which the standard day has this static
// pressure (Pa). Above 101325 Pa the first layer continues downward, below the 88000 m value the
// last layer continues upward. 0 Pa gives +infinity, a negative or NaN pressure NaN.
double pressureAltitude(double pressure);

// Density altitude: the geopotential altitude (m) at which the standard day has this density
// (kg/m^3), with the same continuation and results outside the range as pressureAltitude.
double densityAltitude(double density);

// Geometric altitude (m) of a geopotential altitude (m) below the Earth's radius:
// Z = r0 H / (r0 - H), the inverse of geopotentialAltitude.
double geometricAltitude(double geopotentialAltitude);

// The lowest geopotential altitude (m) in 0 .. 88000 m at which falling(altitude) comes down to
// the target: falling is a quantity of the air that falls with altitude inside each layer and may
// jump at the bases as above. It is evaluated at the top of each layer up to the one that holds
// the target, at that layer's base and about 4 times inside it. NaN when the target is NaN, above
// the value at 0 m or below the value at 88000 m.
double lowestAltitudeWhere(double target, const std::function<double(double)>& falling);

}  // namespace aero
