#pragma once

#include <csignal>
#include <exception>
#include <stdexcept>

namespace table {

// Bad input: the message says what was wrong, where, and the text found. The tool exits with 2.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The signal that asked a run to stop, set by the program's handler; 0 while none did.
inline volatile std::sig_atomic_t stopSignal = 0;

// Thrown where a run notices stopSignal (between rows, or in a read or write the signal
// interrupted), so that everything unwinds and an unfinished output file is discarded.
class Interrupted : public std::exception {};

}  // namespace table
