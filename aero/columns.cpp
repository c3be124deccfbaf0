#include "columns.h"

#include <algorithm>

namespace aero {

using namespace col;

std::string headerName(Column column, bool geometric, const Units& chosen) {
  return std::string(column == altitude && geometric ? geometricAltitudeName : columnKinds[column].name) +
         std::string(unitOf(column, chosen).suffix);
}

std::string parseColumnName(std::string_view text, NamedColumn& named) {
  named = NamedColumn{};
  // A column's name followed by a suffix: its own quantity's gives the column, another's a refusal.
  const Unit* foreign = nullptr;
  Column foreignColumn = columnCount;
  for (std::size_t c = 0; c < columnCount; ++c) {
    for (const std::string_view base : {columnKinds[c].name, c == altitude ? geometricAltitudeName : ""}) {
      if (base.empty() || text.substr(0, base.size()) != base) continue;
      for (const Unit& unit : units) {
        if (text.substr(base.size()) != unit.suffix) continue;
        if (unit.quantity == columnKinds[c].quantity) {
          named = {static_cast<Column>(c), unit, base == geometricAltitudeName};
          return {};
        }
        if (!unit.suffix.empty()) {
          foreign = &unit;
          foreignColumn = static_cast<Column>(c);
        }
      }
    }
  }
  if (foreign == nullptr) return {};
  std::string own;
  for (const Unit& unit : units) {
    if (unit.quantity == columnKinds[foreignColumn].quantity && !unit.suffix.empty()) {
      own += (own.empty() ? "" : " or ") + std::string(unit.suffix);
    }
  }
  return std::string(foreign->suffix) + " is a unit of another quantity; " +
         std::string(text.substr(0, text.size() - foreign->suffix.size())) +
         (own.empty() ? " takes no unit suffix" : " takes " + own);
}

std::vector<Column> defaultColumns(Column speed) {
  std::vector<Column> columns{speed};
  columns.insert(columns.end(), otherInputs.begin(), otherInputs.end());
  columns.push_back(geopotentialAltitude);
  if (speed != mach) columns.push_back(mach);
  for (std::size_t c = liftCoefficient; c <= referenceForce; ++c) columns.push_back(static_cast<Column>(c));
  return columns;
}

std::vector<Column> allColumns(Column speed) {
  std::vector<Column> columns = defaultColumns(speed);
  for (std::size_t c = 0; c < columnCount; ++c) {
    if (std::find(columns.begin(), columns.end(), c) == columns.end()) columns.push_back(static_cast<Column>(c));
  }
  return columns;
}

}  // namespace aero
