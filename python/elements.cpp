#include "elements.h"

#include <limits>
#include <new>

namespace binding {

Results::Results(const Call& call, std::size_t count) : numbers(count) {
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

py::object Results::operator[](std::size_t j) const {
  const py::object values = arrays.empty() ? py::object(py::float_(numbers[j])) : py::object(arrays[j]);
  if (!mask) return values;
  const py::module_ ma = py::module_::import("numpy.ma");
  if (arrays.empty()) return *masked ? ma.attr("masked") : values;
  // A mask of its own, or masking an element of one column would mask it in every other.
  return ma.attr("MaskedArray")(values, py::arg("mask") = mask.attr("copy")());
}

}  // namespace binding
