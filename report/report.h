#pragma once

#include <string>
#include <system_error>

#include "reference_values.h"

namespace report {

// A number as printf "%g" writes it in the C locale: six significant digits, no width, always a
// decimal point whatever locale the process is in.
std::string formatNumber(double value);

// The 23-line report of a value set, without a newline at the start or end.
std::string reportText(const aero::ReferenceValueSet& values);

// Writes the report of a value set to a file, creating it or truncating it. The text is made before
// the file is opened. Returns an empty error code only when the open, every write, the flush and
// the close all succeeded; otherwise the system's reason.
std::error_code writeReport(const std::string& fileName, const aero::ReferenceValueSet& values);

}  // namespace report
