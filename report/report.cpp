#include "report.h"

#include <charconv>

#include "file_replacement.h"

namespace report {

std::string formatNumber(double value) {
  // to_chars is defined to format as printf does in the "C" locale, so neither the C locale nor the
  // C++ global locale can turn the point into a comma. Non-finite values give inf, -inf, nan.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
  return std::string(buffer, result.ptr);
}

std::string reportText(const aero::ReferenceValueSet& v) {
  const std::string rule33(33, '-');
  const std::string rule44(44, '-');
  std::string text;
  text.reserve(768);
  const auto line = [&text](const char* before, double value, const char* after) {
    text += before;
    text += formatNumber(value);
    text += after;
  };
  text += rule33;
  text += "\n--------Specified values --------";
  line("\n Mach = ", v.mach, "");
  line("\n H    = ", v.altitude, " m");
  line("\n N    = ", v.loadFactor, "");
  text += "\n" + rule33;
  line("\n G    = ", v.weight, " T");
  line("\n S    = ", v.refArea, " m*m");
  line("\n L    = ", v.refLength, " m");
  text += "\n" + rule33;
  text += "\n--------Calculated values -------";
  line("\n Clift= ", v.liftCoefficient, "");
  line("\n Re   = ", v.reynolds, "");
  line("\n Uref = ", v.velocity, " m/sec");
  line("\n Tref = ", v.temperature, " grad K");
  line("\n Mu   = ", v.viscosity, " Pa*sec");
  line("\n Nu   = ", v.kinematicViscosity, " (m*m)/sec");
  line("\n Rho  = ", v.density, " kg/(m*m*m)");
  line("\n P    = ", v.pressure, " Pa (N/(m*m))");
  text += "\n" + rule44;
  line("\n   0.5*Rho*U*U  = ", v.dynamicPressure, " kg/(m*sec*sec)");
  line("\n S*0.5*Rho*U*U  = ", v.referenceForce, " kg*m/(sec*sec)");
  text += "\n" + rule44;
  return text;
}

std::error_code writeReport(const std::string& fileName, const aero::ReferenceValueSet& values) {
  // The window must never hang on a pipe whose reader stopped reading.
  return replaceFile(fileName, reportText(values), files::FileReplacement::Waiting::never);
}

}  // namespace report
