#include "call.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace binding {

bool isBool(PyObject* value) {
  const char* name = Py_TYPE(value)->tp_name;
  return PyBool_Check(value) || std::strcmp(name, "numpy.bool_") == 0 || std::strcmp(name, "numpy.bool") == 0;
}

void Call::add(std::string name, py::handle value, aero::Column column, double factor) {
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

py::array Call::fromAny(PyObject* value, py::dtype dtype, int flags) {
  PyObject* array = py::detail::npy_api::get().PyArray_FromAny_(
      value, dtype.release().ptr(), 0, 0, py::detail::npy_api::NPY_ARRAY_ENSUREARRAY_ | flags, nullptr);
  if (array == nullptr) throw py::error_already_set();
  return py::reinterpret_steal<py::array>(array);
}

py::array Call::fromObjects(const Argument& a, const py::array& objects) {
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

void Call::refuseElement(const Argument& a, const py::array* objects, py::ssize_t i, PyObject* item) const {
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

void Call::broadcast() {
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

std::string Call::shapes() const {
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

}  // namespace binding
