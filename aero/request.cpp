#include "request.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "condition.h"

namespace aero {

using namespace col;

namespace {

// The text without the spaces and tabs around it.
std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

Issue issueOf(Fault fault, Column column, std::string_view name = {}, std::string_view otherName = {}) {
  Issue issue;
  issue.fault = fault;
  issue.column = column;
  issue.name = name;
  issue.otherName = otherName;
  return issue;
}

// The number of edits (a letter put in, left out, changed, or two swapped) from a to b, letters
// compared without case.
std::size_t editDistance(std::string_view a, std::string_view b) {
  const auto same = [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  };
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (same(a[i - 1], b[j - 1]) ? 0 : 1)});
      if (i > 1 && j > 1 && same(a[i - 1], b[j - 2]) && same(a[i - 2], b[j - 1])) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

}  // namespace

std::vector<std::string_view> splitList(std::string_view list) {
  std::vector<std::string_view> names;
  for (std::size_t start = 0; start <= list.size();) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    names.push_back(list.substr(start, comma - start));
    start = comma + 1;
  }
  return names;
}

ColumnChoice chooseColumns(const std::vector<std::string_view>* names, const ColumnListRule& rule) {
  ColumnChoice choice;
  choice.units = rule.units;
  if (names == nullptr) {
    choice.columns = defaultColumns(rule.speed);
    return choice;
  }
  if (names->size() == 1 && trimmed(names->front()) == "all") {
    choice.columns = allColumns(rule.speed);
    return choice;
  }
  // The name that chose each quantity's unit, for a clash.
  std::array<std::string_view, quantityCount> chosenBy{};
  for (const std::string_view given : *names) {
    const std::string_view name = trimmed(given);
    if (name.empty()) {
      choice.issue = issueOf(Fault::emptyName, columnCount);
      return choice;
    }
    NamedColumn named;
    if (std::string detail = parseColumnName(name, named); !detail.empty()) {
      choice.issue = issueOf(Fault::foreignSuffix, columnCount, name);
      choice.issue.detail = std::move(detail);
      return choice;
    }
    if (named.column == columnCount || (named.geometric && !rule.geometric)) {
      choice.issue = issueOf(Fault::unknownName, columnCount, name);
      return choice;
    }
    const auto quantity = static_cast<std::size_t>(columnKinds[named.column].quantity);
    Unit& unit = choice.units[quantity];
    if (rule.fixedUnits) {
      if (!named.unit.suffix.empty() && named.unit.name != unit.name) {
        choice.issue = issueOf(Fault::unitNotChosen, named.column, name);
        return choice;
      }
    } else if (!chosenBy[quantity].empty() && named.unit.name != unit.name) {
      choice.issue = issueOf(Fault::twoUnits, named.column, name, chosenBy[quantity]);
      return choice;
    } else {
      unit = named.unit;
      chosenBy[quantity] = name;
    }
    if (std::find(choice.columns.begin(), choice.columns.end(), named.column) != choice.columns.end()) {
      choice.issue = issueOf(Fault::repeatedColumn, named.column, name);
      return choice;
    }
    choice.columns.push_back(named.column);
  }
  return choice;
}

bool isTarget(Column column) {
  return std::find(targets.begin(), targets.end(), column) != targets.end();
}

Issue give(Pose& pose, Column column) {
  const bool target = isTarget(column);
  if (column > isaOffset && !target) return issueOf(Fault::notAnInput, column);
  if (target && pose.unknown == columnCount) return issueOf(Fault::targetWithoutSolve, column);
  if (column == pose.unknown || (pose.unknown == mach && isSpeed(column))) return issueOf(Fault::solvedFor, column);
  if (pose.given[column]) return issueOf(Fault::givenTwice, column);
  Issue issue;
  if (isSpeed(column) && pose.given[pose.speed]) issue = issueOf(Fault::twoSpeeds, column);
  if (target && pose.target != columnCount) issue = issueOf(Fault::twoTargets, column);
  if (issue) {
    issue.other = target ? pose.target : pose.speed;
    return issue;
  }
  pose.given[column] = true;
  if (isSpeed(column)) pose.speed = column;
  if (target) pose.target = column;
  return {};
}

Issue checkPose(const Pose& pose) {
  if (pose.unknown == columnCount) return {};
  if (pose.target == columnCount) return issueOf(Fault::noTarget, pose.unknown);
  if (solveRefusal(pose.unknown, pose.target, pose.speed).empty()) return {};
  Issue issue = issueOf(Fault::notPosed, pose.target);
  issue.other = pose.speed;
  return issue;
}

std::vector<Column> targetsTaken(Column unknown, Column speed) {
  std::vector<Column> taken;
  for (const Column target : targets) {
    bool any = false;
    for (std::size_t s = mach; s <= cas; ++s) {
      const auto with = static_cast<Column>(s);
      any = any || ((speed == columnCount || speed == with) && solveRefusal(unknown, target, with).empty());
    }
    if (any) taken.push_back(target);
  }
  return taken;
}

std::vector<Column> speedsTaken(Column unknown, Column target) {
  std::vector<Column> taken;
  for (std::size_t s = mach; s <= cas; ++s) {
    if (unknown != mach && solveRefusal(unknown, target, static_cast<Column>(s)).empty()) {
      taken.push_back(static_cast<Column>(s));
    }
  }
  return taken;
}

std::vector<Column> inputsTaken(Column unknown) {
  std::vector<Column> taken;
  for (std::size_t c = 0; c <= isaOffset; ++c) {
    const auto column = static_cast<Column>(c);
    if (column != unknown && !(unknown == mach && isSpeed(column))) taken.push_back(column);
  }
  return taken;
}

std::vector<std::string> columnNames(Column speed, bool geometric) {
  std::vector<std::string> names;
  for (const Column column : allColumns(speed)) {
    names.emplace_back(column == altitude && geometric ? geometricAltitudeName : columnKinds[column].name);
  }
  return names;
}

std::vector<std::string> namesOf(const std::vector<Column>& columns) {
  std::vector<std::string> names;
  for (const Column column : columns) {
    for (const std::string_view base : {columnKinds[column].name, column == altitude ? geometricAltitudeName : ""}) {
      if (base.empty()) continue;
      for (const Unit& unit : units) {
        if (unit.quantity == columnKinds[column].quantity)
          names.push_back(std::string(base) + std::string(unit.suffix));
      }
    }
  }
  return names;
}

std::vector<std::string> nearestNames(std::string_view name, const std::vector<std::string>& candidates) {
  // A third of the name's letters, at least one, may be wrong; a name's start counts as that many.
  const std::size_t allowed = std::max<std::size_t>(1, name.size() / 3);
  std::vector<std::pair<std::size_t, std::string>> near;
  for (const std::string& candidate : candidates) {
    std::size_t distance = editDistance(name, candidate);
    if (name.size() >= 3 && candidate.compare(0, name.size(), name) == 0) distance = std::min(distance, allowed);
    if (distance <= allowed) near.emplace_back(distance, candidate);
  }
  std::stable_sort(near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> nearest;
  for (const auto& [distance, candidate] : near) {
    if (distance > near.front().first || nearest.size() == 3) break;
    if (std::find(nearest.begin(), nearest.end(), candidate) == nearest.end()) nearest.push_back(candidate);
  }
  return nearest;
}

}  // namespace aero
