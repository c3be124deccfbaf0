#pragma once

#include <string>
#include <system_error>

#include "row_writer.h"
#include "values.h"

// Collects what a RowWriter writes.
class StringSink : public table::Sink {
 public:
  std::error_code write(const char* data, std::size_t size) override {
    text.append(data, size);
    return {};
  }
  std::string text;
};

// The message of the InputError a piece of work throws, or "no error".
template <typename Work>
std::string refusalOf(Work work) {
  try {
    work();
  } catch (const table::InputError& error) {
    return error.what();
  }
  return "no error";
}
