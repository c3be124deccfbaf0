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

// Writes the report of a value set to a file, replacing the file only once the whole report is
// written and synced (see FileReplacement): a failed write leaves the old file as it was. Returns an
// empty error code on success, otherwise the system's reason.
std::error_code writeReport(const std::string& fileName, const aero::ReferenceValueSet& values);

}  // namespace report
