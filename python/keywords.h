// The keywords of a Python call read by aero's rules of a request, and its refusals worded in the
// keywords' own names.
#pragma once

#include <string>
#include <vector>

#include "call.h"
#include "request.h"

namespace binding {

// The value of a flag argument such as geometric: a bool, numpy's too; anything else is refused,
// a truth value such as 1 or None included.
bool flagOf(const std::string& function, const char* name, py::handle value);

// Reads the keywords of reference_values (unknown columnCount) or of a solve for unknown: the
// inputs, each with an optional unit suffix, and a solve's target; sets each one's unit in units.
// Refuses a call whose keywords do not pose it, naming them as given.
Call readInputs(std::string function, const py::dict& keywords, aero::Column unknown, bool geometric,
                std::vector<aero::Unit>& units);

// The columns a call returns, as columns names them (None for the default ones, "all", names
// separated by commas, or a sequence of names), with the units their suffixes choose.
aero::ColumnChoice chosenColumns(const Call& call, const py::handle& columns);

}  // namespace binding
