#include "command_line.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iostream>
#include <limits>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

#include "atmosphere.h"
#include "numbers.h"
#include "request.h"
#include "texts.h"
#include "version.h"

namespace table {

namespace {

// The options that give an input's or a target's values, with their help; the unit and the default
// are added from the model.
struct ValueOption {
  Column column;
  const char* help;
};
constexpr std::array<ValueOption, 15> valueOptions{{
    {mach, "Mach number"},
    {tas, "true airspeed"},
    {eas, "equivalent airspeed TAS sqrt(rho / rho0)"},
    {cas, "calibrated airspeed: the pitot's impact pressure at sea level"},
    {altitude, "altitude"},
    {loadFactor, "load factor"},
    {weight, "aircraft weight"},
    {refLength, "reference length of the Reynolds number"},
    {refArea, "reference area"},
    {isaOffset, "ISA temperature offset, K: temperature = standard + offset at the same pressure"},
    {liftCoefficient, "lift coefficient"},
    {reynolds, "Reynolds number on the reference length"},
    {dynamicPressure, "dynamic pressure, Pa"},
    {pressure, "static pressure, Pa (--solve altitude)"},
    {density, "density, kg/m3 (--solve altitude)"},
}};

// The options that choose the unit of each quantity after none, with the columns they apply to.
constexpr std::array<std::pair<const char*, const char*>, aero::quantityCount - 1> unitOptions{{
    {"--altitude-unit", "the altitudes, geopotential_altitude and density_altitude"},
    {"--speed-unit", "tas, eas, cas, velocity and sound_speed"},
    {"--weight-unit", "the weight"},
    {"--length-unit", "ref_length"},
    {"--area-unit", "ref_area"},
}};

// The help of an option that gives values: what they are, their unit and their default.
std::string helpOf(const ValueOption& option) {
  const aero::Unit unit = unitOf(option.column, aero::defaultUnits());
  std::string help = option.help;
  if (unit.quantity != aero::Quantity::none) {
    std::string unitOption = unitOptions[static_cast<std::size_t>(unit.quantity) - 1].first + 2;
    std::replace(unitOption.begin(), unitOption.end(), '-', ' ');
    help += ", the " + unitOption;
  }
  const bool defaulted = option.column == mach || (option.column >= altitude && option.column <= isaOffset);
  if (defaulted) {
    help += " (default " + numberText(aero::defaultValue(option.column, aero::defaultUnits())) +
            (unit.name.empty() ? "" : " " + std::string(unit.name)) + ")";
  }
  return help;
}

// Takes a whole number from first to last and nothing else, saying so in its own words.
CLI::Validator wholeNumber(std::int64_t first, std::int64_t last) {
  return CLI::Validator(
      [first, last](std::string& text) -> std::string {
        std::int64_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error == std::errc() && end == text.data() + text.size() && value >= first && value <= last) return {};
        double number = 0.0;
        if (error == std::errc::result_out_of_range ||
            (parseNumber(text, number).empty() && number == std::floor(number))) {
          return "not from " + std::to_string(first) + " to " + std::to_string(last) + ": " + table::quoted(text);
        }
        return "not a whole number: " + table::quoted(text);
      },
      "");
}

// Takes one of a quantity's unit names, in any case, as its own name.
CLI::Validator unitNamed(aero::Quantity quantity) {
  std::vector<std::pair<std::string, std::string>> names;
  std::string list;
  for (const aero::Unit& unit : aero::units) {
    if (unit.quantity != quantity) continue;
    names.emplace_back(unit.name, unit.name);
    list += (list.empty() ? "" : ", ") + std::string(unit.name);
  }
  const CLI::CheckedTransformer known(names, CLI::ignore_case);
  return CLI::Validator(
      [known, list](std::string& text) {
        const std::string given = text;
        return known(text).empty() ? std::string() : table::quoted(given) + " is not one of " + list;
      },
      "");
}

// CLI11's message for a mistake, or ours where its own would mislead: an option given twice, or two
// of a group that takes one; an unknown option gets the nearest names.
std::string messageOf(const CLI::ParseError& error, const CLI::App& app) {
  std::vector<const CLI::App*> groups{&app};
  for (const CLI::App* group : app.get_subcommands({})) groups.push_back(group);
  if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
    std::vector<std::string> options;
    for (const CLI::App* group : groups) {
      for (const CLI::Option* option : group->get_options()) options.push_back(option->get_name());
    }
    for (const std::string& extra : app.remaining()) {
      if (extra.rfind("--", 0) != 0) continue;
      std::string nearest;
      for (const std::string& name : aero::nearestNames(extra.substr(0, extra.find('=')), options)) {
        nearest += (nearest.empty() ? "; did you mean " : " or ") + name;
      }
      if (!nearest.empty()) return error.what() + nearest + "?";
    }
  }
  for (const CLI::App* group : groups) {
    std::vector<std::string> given;
    for (const CLI::Option* option : group->get_options()) {
      if (option->count() > 1) {
        return option->get_name() + ": given more than once" +
               (group == &app ? "" : "; give all its values in one list");
      }
      if (option->count() > 0) given.push_back(option->get_name());
    }
    if (given.size() > 1 && group->get_require_option_max() == 1) {
      return "give " + group->get_description() + ", not " + given[0] + " and " + given[1];
    }
  }
  return error.what();
}

}  // namespace

std::optional<int> readCommandLine(int argc, char** argv, CommandLine& line) {
  Request& request = line.request;
  const std::string top = numberText(aero::atmosphereUpperBound);
  CLI::App app{
      "Computes the aerodynamic reference values of many flight conditions as a CSV table.\n"
      "Each input takes a value, a list 0.5,0.8,0.85 or an inclusive range START:STOP:STEP.\n"
      "Speed, altitude, weight, length and area are in the units the unit options choose (inputs and\n"
      "outputs alike, a column in another unit than the first named with a suffix such as _ft);\n"
      "every other column is SI.",
      "quorvan-table"};
  app.set_version_flag("--version", aero::version);
  app.footer(
      "Examples:\n"
      "  A KCAS test card on a day 15 K warmer, with TAS and Mach:\n"
      "    quorvan-table --cas 250,300 --speed-unit kt --altitude 10000:30000:10000 --altitude-unit ft \\\n"
      "      --isa-offset 15 --weight 60000 --weight-unit kg --columns cas,altitude,tas,mach,lift_coefficient\n"
      "  At Mach 0.8, the altitude where the Reynolds number on 3.5 m is 20 million (11354.5 m):\n"
      "    quorvan-table --solve altitude --mach 0.8 --reynolds 2e7 --ref-length 3.5\n"
      "  At 11000 m and 60 t, the Mach number that gives CL = 0.5 (1.15133):\n"
      "    quorvan-table --solve mach --altitude 11000 --weight 60 --lift-coefficient 0.5\n"
      "  The pressure altitude of 23840 Pa (35002.5 ft), the density altitude of 0.41 kg/m3 (10053.2 m):\n"
      "    quorvan-table --solve altitude --pressure 23840 --altitude-unit ft\n"
      "    quorvan-table --solve altitude --density 0.41\n"
      "A table reads back as the same cases (give it as CASES) when the speed given comes first among its\n"
      "speed columns, as in the default and all orders; a solve's target column is then computed again.\n"
      "Models: the 1962 U.S. Standard Atmosphere, 0 to " +
      top +
      " m geopotential; outside it the end layers continue (a solve\n"
      "for the altitude searches 0 to " +
      top +
      " m only); Sutherland's law for the viscosity; the impact pressure\n"
      "isentropic up to Mach 1 and behind a normal shock (Rayleigh's pitot formula) above, gamma 1.4;\n"
      "CAS the speed with the same impact pressure at sea level; EAS = TAS sqrt(rho / rho0).\n"
      "man quorvan-table tells more.");
  app.get_formatter()->column_width(34);
  CLI::Option_group* speeds = app.add_option_group("Speed (Mach 0.8 when none is given)", "one speed");
  CLI::Option_group* inputs = app.add_option_group("Inputs");
  CLI::Option_group* targets = app.add_option_group("Target of --solve", "one target");
  for (std::size_t i = 0; i < valueOptions.size(); ++i) {
    const Column column = valueOptions[i].column;
    (i < 4    ? speeds
     : i < 10 ? inputs
              : targets)
        ->add_option_function<std::string>(
            optionName(column), [&request, column](const std::string& text) { request.values[column] = text; },
            helpOf(valueOptions[i]))
        ->type_name("VALUES");
  }
  speeds->require_option(0, 1);
  targets->require_option(0, 1);
  app.add_option_function<std::string>(
         "--solve", [&request](const std::string& what) { request.unknown = what == "mach" ? mach : altitude; },
         "find the Mach number or the altitude at which the target (one of the options below) is met")
      ->type_name("WHAT")
      ->check(CLI::IsMember({"mach", "altitude"}));
  for (std::size_t q = 1; q < aero::quantityCount; ++q) {
    const aero::Unit first = aero::defaultUnits()[q];
    app.add_option_function<std::string>(
           unitOptions[q - 1].first,
           [&request, q](const std::string& name) {
             for (const aero::Unit& unit : aero::units) {
               if (static_cast<std::size_t>(unit.quantity) == q && unit.name == name) request.units[q] = unit;
             }
           },
           std::string("unit of ") + unitOptions[q - 1].second + " (default " + std::string(first.name) + ")")
        ->type_name("UNIT")
        ->transform(unitNamed(first.quantity));
  }
  app.add_option_function<std::string>(
         "--columns", [&request](const std::string& names) { request.columns = names; },
         "the columns to write, in this order, named without unit suffix or with the chosen unit's; all for every "
         "column")
      ->type_name("NAMES");
  app.add_flag("--geometric", request.geometric,
               "altitudes are geometric, m: converted to geopotential H = r0 Z / (r0 + Z), r0 = " +
                   numberText(aero::earthRadius) + " m; the altitude column is then geometric_altitude");
  CLI::Option* output = app.add_option("-o,--output", line.output,
                                       "write the table to FILE (- for standard output), replacing it only once "
                                       "complete")
                            ->type_name("FILE");
  app.add_option_function<std::string>(
         "--format", [&request](const std::string& format) { request.separator = format == "tsv" ? '\t' : ','; },
         "csv or tsv (default csv)")
      ->type_name("FORMAT")
      ->check(CLI::IsMember({"csv", "tsv"}));
  app.add_option("--digits", request.digits,
                 "significant digits of the computed columns, 1 to 17 (default: the shortest text that reads back "
                 "exactly, which the inputs always are)")
      ->type_name("N")
      ->check(wholeNumber(1, 17));
  app.add_flag_callback(
      "--no-header", [&line] { line.header = false; }, "leave out the header line");
  app.add_option("--max-rows", request.maxRows,
                 "allow a command-line sweep of up to N rows (default " + std::to_string(Request().maxRows) + ")")
      ->type_name("N")
      ->check(wholeNumber(1, std::numeric_limits<std::int64_t>::max()));
  app.add_option_function<std::string>(
      "CASES", [&line](const std::string& name) { line.cases = name; },
      "CSV or TSV file of cases (- for standard input) whose header names any of the inputs: one speed (mach, "
      "tas, eas or cas), altitude (or geometric_altitude), load_factor, weight, ref_length, ref_area, isa_offset, "
      "each with a unit suffix where it is in another unit than the first");
  try {
    app.parse(argc, argv);
    if (*output && line.output.empty()) throw CLI::ValidationError("--output", "an empty file name");
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() == 0) return app.exit(error);
    std::cerr << "quorvan-table: " << printable(messageOf(error, app)) << '\n';
    return 2;
  }
  if (line.output == "-") line.output.clear();
  return std::nullopt;
}

}  // namespace table
