#include "case_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

#include "errors.h"
#include "numbers.h"
#include "request.h"
#include "texts.h"

namespace table {

namespace {

// A longer line (a file without line ends, say) is refused without reading the rest of it.
constexpr std::size_t longestLine = std::size_t{1} << 20;
constexpr std::size_t chunk = 64 * 1024;

// Whether a cell says nan, as the tool writes a value that is not a number.
bool isNan(std::string_view text) {
  return text.size() == 3 && (text[0] | 0x20) == 'n' && (text[1] | 0x20) == 'a' && (text[2] | 0x20) == 'n';
}

}  // namespace

CaseReader::CaseReader(int descriptor, const std::string& source) : fd(descriptor), name(printable(source)) {
  position.fill(-1);
  if (!readLine()) throw InputError(name + ": no header line");
  sep = text.find('\t') != std::string::npos ? '\t' : ',';
  splitLine();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    Cell& cell = cells.emplace_back();
    cell.name = fields[i];
    if (cell.name.empty()) continue;
    const std::string where = this->where() + ": column " + std::to_string(i + 1) + ": ";
    aero::NamedColumn named;
    const std::string problem = aero::parseColumnName(cell.name, named);
    if (!problem.empty()) throw InputError(where + quoted(cell.name) + ": " + printable(problem));
    if (named.column == columnCount) {
      std::string nearest;
      for (const std::string& candidate :
           aero::nearestNames(cell.name, aero::namesOf(aero::allColumns(aero::col::mach)))) {
        nearest += (nearest.empty() ? ", did you mean " : " or ") + quoted(candidate);
      }
      throw InputError(where + "unknown column " + quoted(cell.name) + (nearest.empty() ? "" : nearest + "?") +
                       " (the names are those of the tool's columns, with a unit suffix such as _ft or _kt)");
    }
    cell.column = named.column;
    cell.unit = named.unit;
    const bool repeated =
        std::any_of(cells.begin(), cells.end() - 1, [&](const Cell& c) { return c.column == cell.column; });
    if (repeated) throw InputError(where + "repeated column " + quoted(cell.name));
    // Of several speeds the first is the case's; the others are columns the tool computed.
    if (aero::isSpeed(cell.column)) {
      if (speed != columnCount) continue;
      speed = cell.column;
    }
    position[cell.column] = static_cast<int>(i);
    geometricColumn = geometricColumn || named.geometric;
  }
}

void CaseReader::read(const ColumnSet& inputs, const ColumnSet& wanted, const Units& chosen) {
  std::string names;
  bool any = false;
  for (std::size_t c = 0; c < columnCount; ++c) {
    if (!inputs[c]) continue;
    names += (names.empty() ? "" : ", ") + std::string(aero::columnKinds[c].name);
    any = any || has(static_cast<Column>(c));
  }
  if (inputs[aero::col::altitude]) names += ", " + std::string(aero::geometricAltitudeName);
  if (!any) throw InputError(where() + ": no input column (the inputs are " + names + ")");
  chosenUnits = chosen;
  for (std::size_t c = 0; c < columnCount; ++c) {
    if (!has(static_cast<Column>(c))) continue;
    Cell& cell = cells[static_cast<std::size_t>(position[c])];
    cell.read = wanted[c];
    cell.factor = aero::conversionFactor(cell.unit, unitOf(cell.column, chosen));
  }
}

bool CaseReader::next(Row& row) {
  if (!readLine()) return false;
  splitLine();
  if (fields.size() != cells.size()) {
    throw InputError(where() + ": " + std::to_string(fields.size()) + (fields.size() == 1 ? " cell" : " cells") +
                     " where the header has " + std::to_string(cells.size()) + ": " + quoted(text));
  }
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const Cell& cell = cells[i];
    if (cell.name.empty()) checkRowName(i);
    if (!cell.read) continue;
    double& value = row[cell.column];
    const std::string column = where() + ": column " + printable(cell.name) + ": ";
    if (isNan(fields[i])) {
      value = std::numeric_limits<double>::quiet_NaN();
      continue;
    }
    const std::string problem = parseNumber(fields[i], value);
    if (!problem.empty()) throw InputError(column + (fields[i].empty() ? "empty cell" : problem));
    if (!aero::convert(value, cell.factor)) {
      throw InputError(column + quoted(fields[i]) + " " + std::string(cell.unit.name) + " is too large to convert to " +
                       std::string(unitOf(cell.column, chosenUnits).name));
    }
  }
  return true;
}

void CaseReader::checkRowName(std::size_t cell) const {
  const std::string& field = fields[cell];
  double number = 0.0;
  if (!parseNumber(field, number).empty() || field.find_first_of(".eE") == std::string::npos) return;
  throw InputError(where() + ": column " + std::to_string(cell + 1) + " has no name but holds the number " +
                   quoted(field) + " (only row names may stand under an empty header)");
}

std::string CaseReader::where() const {
  return name + ":" + std::to_string(lineNumber);
}

bool CaseReader::readLine() {
  while (true) {
    std::size_t end = buffer.find('\n', lineStart);
    if (std::min(end, buffer.size()) - lineStart > longestLine) {
      throw InputError(name + ":" + std::to_string(lineNumber + 1) + ": a line longer than 1 MiB");
    }
    if (end == std::string::npos) {
      if (!atEnd) {
        fill();
        continue;
      }
      if (lineStart == buffer.size()) return false;
      end = buffer.size();
    }
    ++lineNumber;
    text.assign(buffer, lineStart, end - lineStart);
    lineStart = std::min(end + 1, buffer.size());
    // A byte order mark some editors put in front of the first line.
    if (lineNumber == 1 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (text.find_first_not_of(" \t") != std::string::npos && text[0] != '#') return true;
  }
}

void CaseReader::fill() {
  buffer.erase(0, lineStart);
  lineStart = 0;
  const std::size_t size = buffer.size();
  buffer.resize(size + chunk);
  while (true) {
    const ssize_t got = ::read(fd, buffer.data() + size, chunk);
    if (got >= 0) {
      buffer.resize(size + static_cast<std::size_t>(got));
      atEnd = got == 0;
      return;
    }
    // Without SA_RESTART a stop signal ends a read that waits on a terminal or a pipe.
    if (errno == EINTR && stopSignal != 0) throw Interrupted();
    if (errno != EINTR) {
      throw InputError(name + ": cannot read line " + std::to_string(lineNumber + 1) + ": " + std::strerror(errno));
    }
  }
}

void CaseReader::splitLine() {
  fields.clear();
  const auto blank = [this](char c) { return c == ' ' || (c == '\t' && sep != '\t'); };
  for (std::size_t i = 0;; ++i) {
    while (i < text.size() && blank(text[i])) ++i;
    std::string& field = fields.emplace_back();
    if (i < text.size() && text[i] == '"') {
      // Quoted: up to the next lone quote; a doubled quote stands for one.
      for (++i; i < text.size() && (text[i] != '"' || (i + 1 < text.size() && text[i + 1] == '"')); ++i) {
        field += text[i];
        if (text[i] == '"') ++i;
      }
      if (i == text.size()) throw InputError(where() + ": a quote not closed on its line: " + quoted(text));
      ++i;
      while (i < text.size() && blank(text[i])) ++i;
      if (i < text.size() && text[i] != sep)
        throw InputError(where() + ": text after a closing quote: " + quoted(text));
    } else {
      const std::size_t end = std::min(text.find(sep, i), text.size());
      std::size_t last = end;
      while (last > i && blank(text[last - 1])) --last;
      field.assign(text, i, last - i);
      i = end;
    }
    if (i >= text.size()) return;
  }
}

}  // namespace table
