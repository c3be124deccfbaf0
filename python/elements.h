// The walk over the broadcast elements of a call, in blocks and on several threads without the
// GIL, and the arrays the results are written to.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#include "call.h"

namespace binding {

// The elements a thread takes at a time, and fewer than a thread would cost more to start than
// it saves.
inline constexpr py::ssize_t elementsPerThread = 1 << 14;

// The processors of the machine, at least 1.
inline unsigned machineThreads() {
  return std::max(1u, std::thread::hardware_concurrency());
}

// How many threads a call may compute on (set_threads).
inline std::atomic<unsigned> threadCount{machineThreads()};

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

  Results(const Call& call, std::size_t count);
  // Column j as Python returns it.
  py::object operator[](std::size_t j) const;
};

}  // namespace binding
