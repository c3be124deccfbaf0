// The numeric arguments of a Python call, each converted to float64 as numpy converts it (a number
// as it is, a masked array with its mask), and broadcast together as numpy broadcasts them.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstddef>
#include <string>
#include <vector>

#include "condition.h"

namespace binding {

namespace py = pybind11;

// The most numeric arguments a call has: the speed, the six other inputs and a target.
inline constexpr std::size_t maxArguments = 8;

// One numeric argument as float64: a number, or an array (shape and strides in bytes), with the
// column it gives and the factor of its unit to SI.
struct Argument {
  std::string name;
  aero::Column column = aero::columnCount;
  double factor = 1.0;
  double number = 0.0;
  py::object array;  // null for a number
  py::object mask;   // a masked array's mask, else null
  const char* data = nullptr;
  std::vector<py::ssize_t> shape;
  std::vector<py::ssize_t> strides;
};

// Whether value is a bool, Python's or numpy's.
bool isBool(PyObject* value);

// A call being read: the function's name for messages, how its rows are computed, its numeric
// arguments, and once broadcast their common shape.
struct Call {
  std::string function;
  aero::Setup setup;
  std::vector<Argument> arguments;
  std::vector<py::ssize_t> shape;
  py::ssize_t size = 1;

  // Adds a numeric argument: a Python float or int as it is, anything else through numpy, which
  // must make an array of real numbers of it. Bools, complex numbers, text and None are refused
  // alone, in arrays and in lists alike; other objects are read as float() reads them (Fraction,
  // Decimal), and an int too large for a double is refused as float() refuses it. An error that
  // the conversion itself raises (MemoryError, KeyboardInterrupt, one from __array__) is raised.
  void add(std::string name, py::handle value, aero::Column column, double factor);

  // value as a numpy array of dtype (any if null), raising the error of a failed conversion.
  static py::array fromAny(PyObject* value, py::dtype dtype, int flags);

  // An argument's C-contiguous array of Python objects as float64, each element as float() reads it.
  py::array fromObjects(const Argument& a, const py::array& objects);

  // Raises the refusal of element i (in C order) of an argument, or of the argument itself when it
  // is not an array: a TypeError naming what the element is, an OverflowError for a number too
  // large for a double. Any other error float() raised is raised as it is.
  [[noreturn]] void refuseElement(const Argument& a, const py::array* objects, py::ssize_t i, PyObject* item) const;

  // Sets the common shape of the arguments as numpy broadcasts them, and each argument's strides
  // over it (0 along the dimensions it is repeated in). Refuses shapes that do not broadcast.
  void broadcast();

  // The arrays' names and shapes, for a message: "cas (3,), altitude (4,)".
  std::string shapes() const;
};

}  // namespace binding
