#pragma once

#include <cstdio>
#include <string>

#include "reference_values.h"

// The value set the program starts with: the default inputs and their computed outputs.
inline aero::ReferenceValueSet computedDefaults() {
  aero::ReferenceValueSet v;
  v.setDefaults();
  v.computeReferenceValues();
  return v;
}

// A number as printf "%g" writes it in the current C locale: six significant digits.
inline std::string printfG(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}
