#include "case_reader.h"

#include <algorithm>
#include <utility>

#include "values.h"

namespace table {

namespace {

// The text without spaces (and tabs, when they do not separate) at either end.
std::string_view trimmed(std::string_view text, char separator) {
  const auto blank = [separator](char c) { return c == ' ' || (c == '\t' && separator != '\t'); };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// The input column names for a message, comma-separated.
std::string inputList() {
  std::string list;
  for (std::string_view input : inputNames) list += (list.empty() ? "" : ", ") + std::string(input);
  return list;
}

}  // namespace

CaseReader::CaseReader(std::istream& input, std::string sourceName, std::array<bool, inputCount> replaced)
    : in(input), name(std::move(sourceName)) {
  if (!readLine()) throw InputError(name + ": no header line");
  // A byte order mark some editors put in front of the first line.
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  sep = text.find('\t') != std::string::npos ? '\t' : ',';
  splitLine();
  std::array<bool, inputCount> seen{};
  std::vector<std::string_view> skipped;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const std::string_view column = cells[i];
    const auto known = std::find(inputNames.begin(), inputNames.end(), column);
    const bool isOutput = std::find(outputNames.begin(), outputNames.end(), column) != outputNames.end();
    const bool repeated = known != inputNames.end()
                              ? seen[static_cast<std::size_t>(known - inputNames.begin())]
                              : isOutput && std::count(skipped.begin(), skipped.end(), column) > 0;
    if (repeated) {
      throw InputError(where() + ": column " + std::to_string(i + 1) + ": repeated column " + quoted(column));
    }
    if (known != inputNames.end()) {
      const auto index = static_cast<std::size_t>(known - inputNames.begin());
      seen[index] = true;
      given[index] = !replaced[index];
      columnInput.push_back(given[index] ? index : inputCount);
    } else if (isOutput) {
      skipped.push_back(column);
      columnInput.push_back(inputCount);
    } else {
      throw InputError(where() + ": column " + std::to_string(i + 1) + ": unknown column " + quoted(column) +
                       " (the inputs are " + inputList() + ")");
    }
  }
}

bool CaseReader::next(Inputs& inputs) {
  if (!readLine()) return false;
  splitLine();
  if (cells.size() != columnInput.size()) {
    throw InputError(where() + ": " + std::to_string(cells.size()) + (cells.size() == 1 ? " cell" : " cells") +
                     " where the header has " + std::to_string(columnInput.size()) + ": " + quoted(text));
  }
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const std::size_t input = columnInput[i];
    if (input == inputCount) continue;
    const std::string problem = parseNumber(cells[i], inputs[input]);
    if (!problem.empty()) {
      throw InputError(where() + ": column " + std::string(inputNames[input]) + ": " +
                       (cells[i].empty() ? "empty cell" : problem));
    }
  }
  return true;
}

bool CaseReader::readLine() {
  while (std::getline(in, text)) {
    ++lineNumber;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (text.empty() || text[0] == '#' || text.find_first_not_of(" \t") == std::string::npos) continue;
    return true;
  }
  if (in.bad()) throw InputError(name + ": read error after line " + std::to_string(lineNumber));
  return false;
}

void CaseReader::splitLine() {
  cells.clear();
  const std::string_view line = text;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = line.find(sep, start);
    cells.push_back(trimmed(line.substr(start, end == std::string_view::npos ? line.npos : end - start), sep));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
}

std::string CaseReader::where() const {
  return name + ":" + std::to_string(lineNumber);
}

}  // namespace table
