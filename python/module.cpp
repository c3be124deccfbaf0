// The binding of the aero library for Python: reads the keywords and arrays of a call, broadcasts
// them as numpy does, computes each element through aero::computeRow (or airState) with the GIL
// released, on several threads for large arrays, and returns float64 arrays or, for scalars, floats.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "atmosphere.h"
#include "columns.h"
#include "condition.h"
#include "request.h"
#include "version.h"

namespace py = pybind11;

namespace {

using namespace aero;
using namespace aero::col;

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

// The elements a thread takes at a time, and fewer than a thread would cost more to start than
// it saves.
constexpr py::ssize_t elementsPerThread = 1 << 14;

// The most numeric arguments a call has: the speed, the six other inputs and a target.
constexpr std::size_t maxArguments = 8;

unsigned machineThreads() {
  return std::max(1u, std::thread::hardware_concurrency());
}

std::atomic<unsigned> threadCount{machineThreads()};

// One numeric argument as float64: a number, or an array (shape and strides in bytes), with the
// column it gives and the factor of its unit to SI.
struct Argument {
  std::string name;
  Column column = columnCount;
  double factor = 1.0;
  double number = 0.0;
  py::object array;  // null for a number
  py::object mask;   // a masked array's mask, else null
  const char* data = nullptr;
  std::vector<py::ssize_t> shape;
  std::vector<py::ssize_t> strides;
};

// Whether value is a bool, Python's or numpy's.
bool isBool(PyObject* value) {
  const char* name = Py_TYPE(value)->tp_name;
  return PyBool_Check(value) || std::strcmp(name, "numpy.bool_") == 0 || std::strcmp(name, "numpy.bool") == 0;
}

// The value of a flag argument such as geometric: a bool, numpy's too; anything else is refused,
// a truth value such as 1 or None included.
bool flagOf(const std::string& function, const char* name, py::handle value) {
  if (!isBool(value.ptr())) {
    throw py::type_error(function + "(): " + name + " is True or False, not " + std::string(py::repr(value)));
  }
  return PyObject_IsTrue(value.ptr()) == 1;
}

// A call being read: the function's name for messages, how its rows are computed, its numeric
// arguments, and once broadcast their common shape.
struct Call {
  std::string function;
  Setup setup;
  std::vector<Argument> arguments;
  std::vector<py::ssize_t> shape;
  py::ssize_t size = 1;

  // Adds a numeric argument: a Python float or int as it is, anything else through numpy, which
  // must make an array of real numbers of it. Bools, complex numbers, text and None are refused
  // alone, in arrays and in lists alike; other objects are read as float() reads them (Fraction,
  // Decimal), and an int too large for a double is refused as float() refuses it. An error that
  // the conversion itself raises (MemoryError, KeyboardInterrupt, one from __array__) is raised.
  void add(std::string name, py::handle value, Column column, double factor) {
    Argument& a = arguments.emplace_back();
    a.name = std::move(name);
    a.column = column;
    a.factor = factor;
    PyObject* p = value.ptr();
    if (PyFloat_Check(p)) {
      a.number = PyFloat_AS_DOUBLE(p);
      return;
    }
    if (PyLong_Check(p) && !PyBool_Check(p)) {
      a.number = PyLong_AsDouble(p);
      if (a.number == -1.0 && PyErr_Occurred()) refuseElement(a, nullptr, 0, p);
      return;
    }
    const auto& api = py::detail::npy_api::get();
    if (api.PyArray_Check_(p) && Py_TYPE(p) != api.PyArray_Type_) {
      const py::module_ ma = py::module_::import("numpy.ma");
      if (py::isinstance(value, ma.attr("MaskedArray"))) a.mask = ma.attr("getmaskarray")(value);
    }
    // A list is read element by element, so that a bool or None in it is found as it is alone.
    py::array array = PyList_Check(p) || PyTuple_Check(p) ? fromAny(p, py::dtype("O"), 0) : fromAny(p, {}, 0);
    const char kind = array.dtype().kind();
    if (kind == 'O') {
      array = fromObjects(a, fromAny(array.ptr(), py::dtype("O"), py::array::c_style));
    } else if (kind == 'f' || kind == 'i' || kind == 'u') {
      array = fromAny(array.ptr(), py::dtype::of<double>(), py::array::forcecast);
    } else {
      throw py::type_error(function + "(): " + a.name + " takes a number or an array of numbers, not " +
                           (py::isinstance<py::array>(value) ? "an array of " + std::string(py::str(array.dtype()))
                                                             : std::string(Py_TYPE(p)->tp_name)));
    }
    a.shape.assign(array.shape(), array.shape() + array.ndim());
    a.strides.assign(array.strides(), array.strides() + array.ndim());
    a.array = array;
  }

  // value as a numpy array of dtype (any if null), raising the error of a failed conversion.
  static py::array fromAny(PyObject* value, py::dtype dtype, int flags) {
    PyObject* array = py::detail::npy_api::get().PyArray_FromAny_(
        value, dtype.release().ptr(), 0, 0, py::detail::npy_api::NPY_ARRAY_ENSUREARRAY_ | flags, nullptr);
    if (array == nullptr) throw py::error_already_set();
    return py::reinterpret_steal<py::array>(array);
  }

  // An argument's C-contiguous array of Python objects as float64, each element as float() reads it.
  py::array fromObjects(const Argument& a, const py::array& objects) {
    py::array_t<double> values(std::vector<py::ssize_t>(objects.shape(), objects.shape() + objects.ndim()));
    PyObject* const* items = static_cast<PyObject* const*>(objects.data());
    double* out = values.mutable_data();
    for (py::ssize_t i = 0; i < objects.size(); ++i) {
      PyObject* item = items[i];
      if (PyFloat_Check(item)) {
        out[i] = PyFloat_AS_DOUBLE(item);
        continue;
      }
      if (item == Py_None || isBool(item) || PyComplex_Check(item) || PyUnicode_Check(item) || PyBytes_Check(item)) {
        refuseElement(a, &objects, i, item);
      }
      out[i] = PyFloat_AsDouble(item);
      if (out[i] == -1.0 && PyErr_Occurred()) refuseElement(a, &objects, i, item);
    }
    return std::move(values);
  }

  // Raises the refusal of element i (in C order) of an argument, or of the argument itself when it
  // is not an array: a TypeError naming what the element is, an OverflowError for a number too
  // large for a double. Any other error float() raised is raised as it is.
  [[noreturn]] void refuseElement(const Argument& a, const py::array* objects, py::ssize_t i, PyObject* item) const {
    const bool failed = PyErr_Occurred() != nullptr;
    if (failed && !PyErr_ExceptionMatches(PyExc_TypeError) && !PyErr_ExceptionMatches(PyExc_OverflowError)) {
      throw py::error_already_set();
    }
    const bool overflow = failed && PyErr_ExceptionMatches(PyExc_OverflowError);
    PyErr_Clear();
    std::string where;
    if (objects != nullptr && objects->ndim() > 0) {
      for (py::ssize_t d = objects->ndim(), rest = i; d-- > 0; rest /= objects->shape(d)) {
        where = std::to_string(rest % objects->shape(d)) + (where.empty() ? "" : ", ") + where;
      }
      where = "element [" + where + "] ";
    }
    const std::string what = item == Py_None ? "None"
                             : isBool(item)  ? "a bool"
                             : PyUnicode_Check(item) || PyBytes_Check(item)
                                 ? "text"
                                 : "of type " + std::string(Py_TYPE(item)->tp_name);
    const std::string start = function + "(): " + a.name;
    if (overflow) {
      PyErr_SetString(
          PyExc_OverflowError,
          (start + (where.empty() ? " is" : ": " + where + "is") + " a number too large for a double").c_str());
      throw py::error_already_set();
    }
    throw py::type_error(start + " takes a number or an array of numbers; " + (where.empty() ? "it " : where) + "is " +
                         what);
  }

  // Sets the common shape of the arguments as numpy broadcasts them, and each argument's strides
  // over it (0 along the dimensions it is repeated in). Refuses shapes that do not broadcast.
  void broadcast() {
    std::size_t dimensions = 0;
    for (const Argument& a : arguments) dimensions = std::max(dimensions, a.shape.size());
    shape.assign(dimensions, 1);
    for (const Argument& a : arguments) {
      for (std::size_t d = 0; d < a.shape.size(); ++d) {
        py::ssize_t& common = shape[dimensions - a.shape.size() + d];
        if (a.shape[d] == 1 || a.shape[d] == common) continue;
        if (common != 1) throw py::value_error(function + "(): the shapes do not broadcast together: " + shapes());
        common = a.shape[d];
      }
    }
    size = 1;
    for (const py::ssize_t n : shape) {
      if (n != 0 && size > std::numeric_limits<py::ssize_t>::max() / n) {
        throw py::value_error(function + "(): the broadcast shape has too many elements: " + shapes());
      }
      size *= n;
    }
    for (Argument& a : arguments) {
      std::vector<py::ssize_t> strides(dimensions, 0);
      for (std::size_t d = 0; d < a.shape.size(); ++d) {
        if (a.shape[d] != 1) strides[dimensions - a.shape.size() + d] = a.strides[d];
      }
      a.strides = std::move(strides);
      a.data = a.array ? static_cast<const char*>(py::array(a.array).data()) : reinterpret_cast<const char*>(&a.number);
    }
  }

  // The arrays' names and shapes, for a message: "cas (3,), altitude (4,)".
  std::string shapes() const {
    std::string text;
    for (const Argument& a : arguments) {
      if (!a.array) continue;
      text += (text.empty() ? "" : ", ") + a.name + " (";
      for (std::size_t d = 0; d < a.shape.size(); ++d) {
        text += std::to_string(a.shape[d]) + (a.shape.size() == 1 ? "," : d + 1 < a.shape.size() ? ", " : "");
      }
      text += ")";
    }
    return text;
  }
};

// A run of elements handed to a computation at once: each argument's values there.
constexpr std::size_t blockSize = 64;
using Block = std::array<std::array<double, blockSize>, maxArguments>;

// Calls body(first, count, block) for the elements begin to end of a broadcast call in C order, in
// runs of at most blockSize elements from first.
template <class Body>
void walk(const Call& call, py::ssize_t begin, py::ssize_t end, Body& body) {
  if (begin >= end) return;
  const std::size_t count = call.arguments.size();
  const std::size_t dimensions = call.shape.size();
  std::vector<py::ssize_t> index(dimensions);
  std::array<const char*, maxArguments> at{};
  py::ssize_t rest = begin;
  for (std::size_t d = dimensions; d-- > 0;) {
    index[d] = rest % call.shape[d];
    rest /= call.shape[d];
  }
  for (std::size_t k = 0; k < count; ++k) {
    at[k] = call.arguments[k].data;
    for (std::size_t d = 0; d < dimensions; ++d) at[k] += index[d] * call.arguments[k].strides[d];
  }
  // Only the arguments that vary are read element by element; the others fill their rows once.
  std::array<std::size_t, maxArguments> varying{};
  std::size_t varyingCount = 0;
  Block block;
  for (std::size_t k = 0; k < count; ++k) {
    const std::vector<py::ssize_t>& strides = call.arguments[k].strides;
    if (std::any_of(strides.begin(), strides.end(), [](py::ssize_t stride) { return stride != 0; })) {
      varying[varyingCount++] = k;
    } else {
      double value;
      std::memcpy(&value, at[k], sizeof(double));
      block[k].fill(value);
    }
  }
  for (py::ssize_t first = begin; first < end; first += blockSize) {
    const std::size_t run = static_cast<std::size_t>(std::min<py::ssize_t>(blockSize, end - first));
    for (std::size_t b = 0; b < run; ++b) {
      // Copied, not dereferenced: a numpy array may be unaligned.
      for (std::size_t v = 0; v < varyingCount; ++v) std::memcpy(&block[varying[v]][b], at[varying[v]], sizeof(double));
      for (std::size_t d = dimensions; d-- > 0;) {
        for (std::size_t v = 0; v < varyingCount; ++v) at[varying[v]] += call.arguments[varying[v]].strides[d];
        if (++index[d] < call.shape[d]) break;
        for (std::size_t v = 0; v < varyingCount; ++v) {
          at[varying[v]] -= call.shape[d] * call.arguments[varying[v]].strides[d];
        }
        index[d] = 0;
      }
    }
    body(first, run, block);
  }
}

// Runs body over every element of a broadcast call without the GIL, on as many threads as are
// allowed and worth starting. The threads take runs of elementsPerThread in turn, so that one
// slowed by other work on its core takes fewer; each has its own copy of body. Every element is
// computed alone, so the results do not depend on the number of threads. Between its runs the
// calling thread takes the GIL to look for a signal: on one (Ctrl-C) every thread stops after its
// run and the signal handler's error is raised.
template <class Body>
void forEachElement(const Call& call, const Body& body) {
  std::atomic<bool> stop{false};
  {
    py::gil_scoped_release released;
    const auto threads = static_cast<unsigned>(
        std::clamp<py::ssize_t>(call.size / elementsPerThread, 1, static_cast<py::ssize_t>(threadCount.load())));
    std::atomic<py::ssize_t> next{0};
    const auto run = [&](bool calling) {
      Body own = body;
      for (py::ssize_t first; !stop && (first = next.fetch_add(elementsPerThread)) < call.size;) {
        walk(call, first, std::min(first + elementsPerThread, call.size), own);
        if (!calling || next >= call.size) continue;
        const py::gil_scoped_acquire held;
        stop = PyErr_CheckSignals() != 0;
      }
    };
    std::vector<std::thread> helpers;
    try {
      while (helpers.size() + 1 < threads) helpers.emplace_back(run, false);
    } catch (const std::system_error&) {
      // No more threads to be had: those started and this one do it all.
    }
    run(true);
    for (std::thread& helper : helpers) helper.join();
  }
  if (stop) throw py::error_already_set();
}

// The results of a call: one float64 array of the broadcast shape a column, or for a call with
// only scalars one double each; masked arrays where an argument is masked, with the broadcast
// mask (which masked points to, in C order; null without masks). The arrays are views of one flat
// block (so that 32-dimensional ones can be made): a single large allocation costs the system
// fewer page faults than one for each column.
struct Results {
  std::vector<py::array_t<double>> arrays;
  std::vector<double> numbers;
  std::vector<double*> out;
  py::object mask;
  const bool* masked = nullptr;

  Results(const Call& call, std::size_t count) : numbers(count) {
    for (const Argument& a : call.arguments) {
      if (!a.mask) continue;
      const py::module_ numpy = py::module_::import("numpy");
      if (!mask) {
        py::tuple sizes(call.shape.size());
        for (std::size_t d = 0; d < call.shape.size(); ++d) sizes[d] = call.shape[d];
        mask = numpy.attr("zeros")(sizes, "bool");
      }
      numpy.attr("logical_or")(mask, a.mask, py::arg("out") = mask);
      masked = static_cast<const bool*>(py::array(mask).data());
    }
    if (call.shape.empty()) {
      for (double& number : numbers) out.push_back(&number);
      return;
    }
    if (count != 0 &&
        call.size > std::numeric_limits<py::ssize_t>::max() / static_cast<py::ssize_t>(count * sizeof(double))) {
      throw std::bad_alloc();
    }
    py::array_t<double> block(static_cast<py::ssize_t>(count) * call.size);
    for (std::size_t j = 0; j < count; ++j) {
      out.push_back(block.mutable_data() + j * static_cast<std::size_t>(call.size));
      arrays.emplace_back(call.shape, out.back(), block);
    }
  }
  py::object operator[](std::size_t j) const {
    const py::object values = arrays.empty() ? py::object(py::float_(numbers[j])) : py::object(arrays[j]);
    if (!mask) return values;
    const py::module_ ma = py::module_::import("numpy.ma");
    if (arrays.empty()) return *masked ? ma.attr("masked") : values;
    // A mask of its own, or masking an element of one column would mask it in every other.
    return ma.attr("MaskedArray")(values, py::arg("mask") = mask.attr("copy")());
  }
};

// The keyword names of columns for a message: "reynolds, pressure or density".
std::string nameList(const std::vector<Column>& columns, const char* last) {
  std::string text;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    text += (i == 0 ? "" : i + 1 < columns.size() ? ", " : last) + std::string(columnKinds[columns[i]].name);
  }
  return text;
}

// The inputs a call takes, for messages.
std::string inputNames(Column unknown) {
  std::string names = nameList(inputsTaken(unknown), ", ");
  if (unknown != altitude) {
    const std::string_view name = columnKinds[altitude].name;
    names.insert(names.find(name) + name.size(), " (or geometric_altitude)");
  }
  return names;
}

// The targets a solve for unknown takes with a speed (any speed for columnCount), for messages.
std::string targetNames(Column unknown, Column speed) {
  return nameList(targetsTaken(unknown, speed), ", ");
}

// "; did you mean 'cas_kt'?" for a name near some of the candidates, else nothing.
std::string didYouMean(std::string_view name, const std::vector<std::string>& candidates) {
  std::string text;
  for (const std::string& candidate : nearestNames(name, candidates)) {
    text += (text.empty() ? "; did you mean '" : " or '") + candidate + "'";
  }
  return text.empty() ? text : text + "?";
}

// Reads the keywords of reference_values (unknown columnCount) or of a solve for unknown: the
// inputs, each with an optional unit suffix, and a solve's target; sets each one's unit in units.
// Refuses a call whose keywords do not pose it, naming them as given.
Call readInputs(std::string function, const py::dict& keywords, Column unknown, bool geometric,
                std::vector<Unit>& units) {
  Call call;
  call.function = std::move(function);
  Setup& setup = call.setup;
  setup.unknown = unknown;
  setup.geometric = geometric;
  const std::string f = call.function + "()";
  Pose pose;
  pose.unknown = unknown;
  std::array<std::string, columnCount> given;
  for (const auto& [key, value] : keywords) {
    const std::string name = py::str(key);
    NamedColumn named;
    const std::string refusal = parseColumnName(name, named);
    if (!refusal.empty()) throw py::type_error(f + ": " + name + ": " + refusal);
    const Column c = named.column;
    const Issue issue = give(pose, c);
    switch (issue.fault) {
      case Fault::none:
        break;
      case Fault::targetWithoutSolve:
        throw py::type_error(f + ": " + name + ": a target needs solve(); the inputs are " + inputNames(unknown));
      case Fault::solvedFor:
        throw py::value_error(f + ": the " + (unknown == mach ? "speed" : "altitude") +
                              " is what is solved for; leave out " + name);
      case Fault::givenTwice:
        throw py::type_error(f + ": " + given[c] + " and " + name + " give the same input; give one of them");
      case Fault::twoSpeeds:
        throw py::type_error(f + ": " + given[issue.other] + " and " + name +
                             ": give one speed, as mach, tas, eas or cas");
      case Fault::twoTargets:
        throw py::type_error(f + ": " + given[issue.other] + " and " + name + ": give one target, one of " +
                             targetNames(unknown, columnCount));
      default: {
        std::vector<Column> known = inputsTaken(unknown);
        if (unknown != columnCount) known.insert(known.end(), targets.begin(), targets.end());
        throw py::type_error(f + " got an unexpected keyword argument '" + name + "'; the inputs are " +
                             inputNames(unknown) + ", each in another unit with a suffix such as _ft or _kt" +
                             (unknown == columnCount ? "" : "; the targets are " + targetNames(unknown, columnCount)) +
                             didYouMean(name, namesOf(known)));
      }
    }
    given[c] = name;
    setup.geometric = setup.geometric || named.geometric;
    call.add(name, value, c, 1.0);
    units.push_back(named.unit);
  }
  setup.speed = pose.speed;
  setup.target = pose.target;
  const Issue issue = checkPose(pose);
  if (issue.fault == Fault::noTarget) {
    throw py::value_error(f + ": no target; give one of " + targetNames(unknown, setup.speed));
  }
  if (issue) {
    const std::string reason(solveRefusal(unknown, setup.target, setup.speed));
    if (unknown == mach) {
      throw py::value_error(f + ": " + given[setup.target] + ": " + reason +
                            "; solve(\"altitude\") finds the altitude, or give " +
                            nameList(targetsTaken(mach, columnCount), " or "));
    }
    // The other speeds in the unit of the one given: tas_kt for cas_kt.
    const auto k =
        static_cast<std::size_t>(std::find_if(call.arguments.begin(), call.arguments.end(),
                                              [&setup](const Argument& a) { return a.column == setup.speed; }) -
                                 call.arguments.begin());
    const std::vector<Column> speeds = speedsTaken(unknown, setup.target);
    std::string speedNames;
    for (std::size_t i = 0; i < speeds.size(); ++i) {
      speedNames += (i == 0                  ? ""
                     : i + 1 < speeds.size() ? ", "
                                             : " or ") +
                    std::string(columnKinds[speeds[i]].name) + (speeds[i] != mach ? std::string(units[k].suffix) : "");
    }
    throw py::value_error(f + ": " + given[setup.speed] + " with " + given[setup.target] + ": " + reason +
                          "; give the speed as " + speedNames + ", or the target as " +
                          nameList(targetsTaken(unknown, setup.speed), " or "));
  }
  return call;
}

// The columns a call returns, as columns names them (None for the default ones, "all", names
// separated by commas, or a sequence of names), with the units their suffixes choose.
ColumnChoice chosenColumns(const Call& call, const py::handle& columns) {
  const Setup& setup = call.setup;
  const std::string f = call.function + "()";
  std::vector<std::string> owned;
  std::vector<std::string_view> names;
  if (py::isinstance<py::str>(columns)) {
    owned.push_back(py::str(columns));
    names = splitList(owned.front());
  } else if (!columns.is_none() && py::isinstance<py::iterable>(columns)) {
    for (const py::handle name : columns) {
      if (!py::isinstance<py::str>(name)) {
        throw py::type_error(f + ": columns holds names, not " + Py_TYPE(name.ptr())->tp_name);
      }
      owned.push_back(py::str(name));
    }
    names.assign(owned.begin(), owned.end());
  } else if (!columns.is_none()) {
    throw py::type_error(f + ": columns is None, \"all\", or names, not " + Py_TYPE(columns.ptr())->tp_name);
  }
  ColumnChoice choice =
      chooseColumns(columns.is_none() ? nullptr : &names, {setup.speed, setup.geometric, defaultUnits(), false});
  const Issue& issue = choice.issue;
  const std::string name = "'" + issue.name + "'";
  switch (issue.fault) {
    case Fault::none:
      return choice;
    case Fault::emptyName:
      throw py::value_error(f + ": columns: a name is missing in " + std::string(py::repr(columns)));
    case Fault::foreignSuffix:
      throw py::value_error(f + ": columns: " + name + ": " + issue.detail);
    case Fault::repeatedColumn:
      throw py::value_error(f + ": repeated column " + name);
    case Fault::twoUnits: {
      constexpr std::array<const char*, quantityCount> quantities{"",        "altitudes", "speeds",
                                                                  "weights", "lengths",   "areas"};
      const auto quantity = static_cast<std::size_t>(columnKinds[issue.column].quantity);
      throw py::value_error(f + ": columns '" + issue.otherName + "' and " + name + " are " + quantities[quantity] +
                            " in two units; name them in one, as quorvan-table writes them: '" +
                            headerName(issue.column, setup.geometric, choice.units) + "'");
    }
    default: {
      std::string all;
      for (const std::string& column : columnNames(setup.speed, setup.geometric)) all += ", " + column;
      throw py::value_error(f + ": unknown column " + name + " (the columns are all" + all +
                            ", each with a unit suffix such as _ft or _kt)" +
                            didYouMean(issue.name, namesOf(allColumns(mach))));
    }
  }
}

// Computes the chosen columns of every element of a call: a dict of the columns under their
// names (the table tool's headers, in the units the columns' suffixes choose, SI without). An
// element whose inputs the model cannot take has NaN in every column but its inputs and target.
py::dict computeColumns(Call& call, const std::vector<Unit>& units, const py::handle& columnsWanted) {
  const ColumnChoice choice = chosenColumns(call, columnsWanted);
  const std::vector<Column>& columns = choice.columns;
  Setup& setup = call.setup;
  setup.units = choice.units;
  // The inputs are converted to the columns' units as the table tool's case reader converts a
  // column; those not given take the window's defaults in them.
  ColumnSet given{};
  for (std::size_t k = 0; k < call.arguments.size(); ++k) {
    Argument& a = call.arguments[k];
    a.factor = conversionFactor(units[k], unitOf(a.column, setup.units));
    given[a.column] = true;
  }
  std::vector<Column> inputs(otherInputs.begin(), otherInputs.end());
  if (setup.unknown != mach) inputs.push_back(setup.speed);
  for (const Column input : inputs) {
    if (input == setup.unknown || given[input]) continue;
    call.add(std::string(columnKinds[input].name), py::float_(defaultValue(input, setup.units)), input, 1.0);
  }
  setup.wanted.fill(false);
  for (const Column c : columns) setup.wanted[c] = true;
  call.broadcast();
  // No column, no element work (the broadcast shape may be huge).
  if (columns.empty()) return py::dict();
  Results results(call, columns.size());

  // Inputs that are the same for every element are set in every row once; the others element by
  // element. A conversion that overflows refuses the element.
  Row initial;
  initial.fill(notANumber);
  bool overflow = false;
  std::array<Column, maxArguments> varyingColumns{};
  std::array<double, maxArguments> factors{};
  std::array<std::size_t, maxArguments> varying{};
  std::size_t varyingCount = 0;
  ColumnSet kept{};
  for (std::size_t k = 0; k < call.arguments.size(); ++k) {
    const Argument& a = call.arguments[k];
    kept[a.column] = true;
    if (std::any_of(a.strides.begin(), a.strides.end(), [](py::ssize_t stride) { return stride != 0; })) {
      varyingColumns[varyingCount] = a.column;
      factors[varyingCount] = a.factor;
      varying[varyingCount++] = k;
      continue;
    }
    std::memcpy(&initial[a.column], a.data, sizeof(double));
    overflow = !convert(initial[a.column], a.factor) || overflow;
  }
  // A block's rows are computed first and then written out column by column, each in one piece.
  // A masked element is refused, and so not computed.
  forEachElement(call, [&setup, &columns, &results, overflow, varyingColumns, factors, varying, varyingCount, kept,
                        rows = std::vector<Row>(blockSize, initial), refused = std::array<bool, blockSize>{}](
                           py::ssize_t first, std::size_t run, const Block& block) mutable {
    bool anyRefused = false;
    for (std::size_t b = 0; b < run; ++b) {
      Row& row = rows[b];
      refused[b] = overflow || (results.masked != nullptr && results.masked[first + b]);
      for (std::size_t v = 0; v < varyingCount; ++v) {
        double& value = row[varyingColumns[v]];
        value = block[varying[v]][b];
        refused[b] = !convert(value, factors[v]) || refused[b];
      }
      refused[b] = refused[b] || refusalOf(row, setup).reason != Refusal::none;
      if (!refused[b]) computeRow(row, setup);
      anyRefused = anyRefused || refused[b];
    }
    for (std::size_t j = 0; j < columns.size(); ++j) {
      const Column c = columns[j];
      double* out = results.out[j] + first;
      for (std::size_t b = 0; b < run; ++b) out[b] = rows[b][c];
      if (!anyRefused || kept[c]) continue;
      for (std::size_t b = 0; b < run; ++b) {
        if (refused[b]) out[b] = notANumber;
      }
    }
  });
  py::dict named;
  for (std::size_t j = 0; j < columns.size(); ++j) {
    named[py::str(headerName(columns[j], setup.geometric, setup.units))] = results[j];
  }
  return named;
}

py::dict referenceValues(const py::dict& keywords, const py::handle& geometric, const py::handle& columns) {
  std::vector<Unit> units;
  Call call = readInputs("reference_values", keywords, columnCount, flagOf("reference_values", "geometric", geometric),
                         units);
  return computeColumns(call, units, columns);
}

py::dict solve(const py::handle& unknownName, const py::dict& keywords, const py::handle& geometric,
               const py::handle& columns) {
  const bool isGeometric = flagOf("solve", "geometric", geometric);
  const std::string name = py::str(unknownName);
  if (!py::isinstance<py::str>(unknownName) || (name != "mach" && name != "altitude")) {
    throw py::value_error("solve(): the unknown is 'mach' or 'altitude', not " + std::string(py::repr(unknownName)));
  }
  std::vector<Unit> units;
  Call call = readInputs("solve", keywords, name == "mach" ? mach : altitude, isGeometric, units);
  return computeColumns(call, units, columns);
}

// The air at each altitude (m, geopotential unless geometric) on a day offset kelvin warmer:
// pressure, temperature, density, viscosity and speed of sound, NaN where the model cannot take
// the altitude and offset.
py::tuple atmosphere(const py::handle& altitudes, const py::handle& offsets, const py::handle& geometricFlag) {
  Call call;
  call.function = "atmosphere";
  const bool geometric = flagOf(call.function, "geometric", geometricFlag);
  call.setup.geometric = geometric;
  call.add("altitude", altitudes, altitude, 1.0);
  call.add("isa_offset", offsets, isaOffset, 1.0);
  call.broadcast();
  Results results(call, 5);
  // The inputs refusalOf looks at besides the altitude and the offset: a Mach number of 0 and the
  // window's defaults, none of which it refuses.
  Row inputs;
  inputs.fill(0.0);
  for (const Column c : otherInputs) inputs[c] = defaultValue(c, call.setup.units);
  const Setup& setup = call.setup;
  forEachElement(call, [&setup, &results, geometric, row = inputs](py::ssize_t first, std::size_t run,
                                                                   const Block& block) mutable {
    for (std::size_t b = 0; b < run; ++b) {
      const double z = block[0][b];
      const double offset = block[1][b];
      row[altitude] = z;
      row[isaOffset] = offset;
      const std::size_t i = static_cast<std::size_t>(first) + b;
      AirState air{notANumber, notANumber, notANumber, notANumber, notANumber};
      // A standard or warmer day at a geopotential altitude is never refused; a masked element is
      // not computed.
      if ((results.masked == nullptr || !results.masked[i]) &&
          ((!geometric && !(offset < 0.0)) || refusalOf(row, setup).reason == Refusal::none)) {
        air = airState(geometric ? aero::geopotentialAltitude(z) : z, offset);
      }
      results.out[0][i] = air.pressure;
      results.out[1][i] = air.temperature;
      results.out[2][i] = air.density;
      results.out[3][i] = air.viscosity;
      results.out[4][i] = air.soundSpeed;
    }
  });
  return py::make_tuple(results[0], results[1], results[2], results[3], results[4]);
}

}  // namespace

PYBIND11_MODULE(_quorvan, m) {
  m.doc() = "The compiled part of quorvan; use the functions of the quorvan package.";
  m.attr("__version__") = aero::version;
  m.def("atmosphere", &atmosphere);
  m.def("reference_values", &referenceValues);
  m.def("solve", &solve);
  m.def("set_threads", [](unsigned count) { threadCount = count == 0 ? machineThreads() : count; });
  m.def("get_threads", [] { return threadCount.load(); });
}
