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

// The input column names for a message, comma-separated.
std::string inputList() {
  std::string list;
  for (std::size_t i = 0; i < inputCount; ++i) list += std::string(columnNames[i]) + ", ";
  return list + std::string(geometricAltitudeName);
}

}  // namespace

CaseReader::CaseReader(int descriptor, std::string sourceName, std::array<bool, inputCount> replaced)
    : fd(descriptor), name(std::move(sourceName)) {
  if (!readLine()) throw InputError(name + ": no header line");
  sep = text.find('\t') != std::string::npos ? '\t' : ',';
  splitLine();
  std::array<bool, columnCount> seen{};
  bool anyInput = false;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const std::string& cell = cells[i];
    const bool geometricName = cell == geometricAltitudeName;
    const auto found = std::find(columnNames.begin(), columnNames.end(), cell);
    const std::size_t column = geometricName ? altitude : static_cast<std::size_t>(found - columnNames.begin());
    const std::string where = this->where() + ": column " + std::to_string(i + 1) + ": ";
    if (column == columnCount) {
      throw InputError(where + "unknown column " + quoted(cell) + " (the inputs are " + inputList() + ")");
    }
    if (seen[column]) throw InputError(where + "repeated column " + quoted(cell));
    seen[column] = true;
    geometricColumn = geometricColumn || geometricName;
    const bool input = column < inputCount;
    anyInput = anyInput || input;
    if (input) given[column] = !replaced[column];
    columnInput.push_back(input && given[column] ? column : inputCount);
    header.push_back(cell);
  }
  if (!anyInput) throw InputError(this->where() + ": no input column (the inputs are " + inputList() + ")");
}

bool CaseReader::next(Inputs& inputs) {
  if (!readLine()) return false;
  splitLine();
  if (cells.size() != columnInput.size()) {
    throw InputError(where() + ": " + std::to_string(cells.size()) + (cells.size() == 1 ? " cell" : " cells") +
                     " where the header has " + std::to_string(columnInput.size()) + ": " + quoted(text));
  }
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (columnInput[i] == inputCount) continue;
    const std::string problem = parseNumber(cells[i], inputs[columnInput[i]]);
    if (!problem.empty()) {
      throw InputError(where() + ": column " + header[i] + ": " + (cells[i].empty() ? "empty cell" : problem));
    }
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
  cells.clear();
  const auto blank = [this](char c) { return c == ' ' || (c == '\t' && sep != '\t'); };
  for (std::size_t i = 0;; ++i) {
    while (i < text.size() && blank(text[i])) ++i;
    std::string& cell = cells.emplace_back();
    if (i < text.size() && text[i] == '"') {
      // Quoted: up to the next lone quote; a doubled quote stands for one.
      for (++i; i < text.size() && (text[i] != '"' || (i + 1 < text.size() && text[i + 1] == '"')); ++i) {
        cell += text[i];
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
      cell.assign(text, i, last - i);
      i = end;
    }
    if (i >= text.size()) return;
  }
}

}  // namespace table
