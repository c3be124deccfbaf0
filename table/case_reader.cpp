#include "case_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "values.h"

namespace table {

namespace {

// A longer line (a file without line ends, say) is refused without reading the rest of it.
constexpr std::size_t longestLine = std::size_t{1} << 20;
constexpr std::size_t chunk = 64 * 1024;

// The column a header name stands for, with the factor of its unit and whether it names geometric
// altitudes; column is columnCount when the name is none of the tool's.
void parseColumnName(std::string_view text, Column& column, double& factor, bool& geometric) {
  for (std::size_t c = 0; c < columnCount; ++c) {
    for (const std::string_view base : {columnKinds[c].name, c == altitude ? geometricAltitudeName : ""}) {
      if (base.empty() || text.substr(0, base.size()) != base) continue;
      for (const Unit& unit : units) {
        if (unit.quantity == columnKinds[c].quantity && text.substr(base.size()) == unit.suffix) {
          column = static_cast<Column>(c);
          factor = unit.factor;
          geometric = base == geometricAltitudeName;
          return;
        }
      }
    }
  }
  column = columnCount;
}

}  // namespace

CaseReader::CaseReader(int descriptor, std::string sourceName) : fd(descriptor), name(std::move(sourceName)) {
  position.fill(-1);
  if (!readLine()) throw InputError(name + ": no header line");
  sep = text.find('\t') != std::string::npos ? '\t' : ',';
  splitLine();
  bool outputs = false;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    Cell& cell = cells.emplace_back();
    cell.name = fields[i];
    bool geometricName = false;
    parseColumnName(cell.name, cell.column, cell.factor, geometricName);
    const std::string where = this->where() + ": column " + std::to_string(i + 1) + ": ";
    if (cell.column == columnCount) {
      throw InputError(where + "unknown column " + quoted(cell.name) +
                       " (the names are those of the tool's columns, with a unit suffix such as _ft or _kt)");
    }
    // Every column after geopotential_altitude is an output.
    if (outputs || cell.column == geopotentialAltitude) {
      outputs = true;
      cell.column = columnCount;
      continue;
    }
    if (position[cell.column] >= 0) throw InputError(where + "repeated column " + quoted(cell.name));
    if (cell.column <= cas) {
      if (speed != columnCount) {
        throw InputError(where + "a second speed column " + quoted(cell.name) + " beside " + quoted(nameOf(speed)) +
                         " (a file gives one of mach, tas, eas and cas)");
      }
      speed = cell.column;
    }
    position[cell.column] = static_cast<int>(i);
    geometricColumn = geometricColumn || geometricName;
  }
}

void CaseReader::read(const std::array<bool, columnCount>& inputs, const std::array<bool, columnCount>& wanted,
                      const Units& chosen) {
  std::string names;
  bool any = false;
  for (std::size_t c = 0; c < columnCount; ++c) {
    if (!inputs[c]) continue;
    names += (names.empty() ? "" : ", ") + std::string(columnKinds[c].name);
    any = any || has(static_cast<Column>(c));
  }
  if (inputs[altitude]) names += ", " + std::string(geometricAltitudeName);
  if (!any) throw InputError(where() + ": no input column (the inputs are " + names + ")");
  for (Cell& cell : cells) {
    cell.read = cell.column != columnCount && wanted[cell.column];
    if (cell.read) cell.factor /= unitOf(cell.column, chosen).factor;
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
    if (!cells[i].read) continue;
    double& value = row[cells[i].column];
    const std::string problem = parseNumber(fields[i], value);
    if (!problem.empty()) {
      throw InputError(where() + ": column " + cells[i].name + ": " + (fields[i].empty() ? "empty cell" : problem));
    }
    // A value already in the chosen unit stays exactly as written.
    if (cells[i].factor != 1.0) value *= cells[i].factor;
  }
  return true;
}

std::string CaseReader::where() const {
  return name + ":" + std::to_string(lineNumber);
}

bool CaseReader::readLine() {
  while (true) {
    std::size_t end = buffer.find('\n', lineStart);
    if (end == std::string::npos) {
      if (buffer.size() - lineStart > longestLine) {
        throw InputError(name + ":" + std::to_string(lineNumber + 1) + ": a line longer than 1 MiB");
      }
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
